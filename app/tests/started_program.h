// A program started in a folder of its own with scripted dialogs, and the files it reads and writes.
#pragma once

#include "app/program.h"
#include "app/tests/test_folder.h"
#include "platform/dialogs.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace nivora {

struct StartedProgram : testing::Test {
    explicit StartedProgram(const std::string& name = "program") : folder(name) { folder.copyStartupData(); }

    // A fresh program over the folder as it stands; the earlier one (if any) is thrown away.
    Program& start()
    {
        program.reset();
        program = std::make_unique<Program>(folder.path);
        auto scripted = std::make_unique<ScriptedDialogs>();
        dialogs = scripted.get();
        program->ui.setDialogs(std::move(scripted));
        program->ui.setExit([this](int code) { exitCode = code; });
        EXPECT_TRUE(program->start());
        return *program;
    }

    std::vector<std::string> lines(const std::string& name) const
    {
        std::ifstream in(folder.path / name, std::ios::binary);
        std::vector<std::string> out;
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            out.push_back(line);
        }
        return out;
    }
    void write(const std::string& name, const std::vector<std::string>& text) const
    {
        std::ofstream out(folder.path / name, std::ios::binary);
        for (const std::string& line : text) out << line << "\r\n";
    }
    std::string path(const std::string& name) const { return (folder.path / name).string(); }

    std::string text(const char* control) const { return program->ui.control(control).text(); }
    void set(const char* control, const std::string& value) { program->ui.control(control).setText(value); }
    std::vector<std::string> alerts() const { return dialogs->alerts(); }

    TestFolder folder;
    std::unique_ptr<Program> program;
    ScriptedDialogs* dialogs = nullptr;
    int exitCode = -1;
};

} // namespace nivora
