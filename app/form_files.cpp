#include "app/form_files.h"

#include <cctype>
#include <cmath>

#include "astro/datafile.h"
#include "platform/files.h"
#include "platform/forms.h"

namespace nivora {

bool beginsWithNumber(std::string_view text)
{
    size_t i = text.find_first_not_of(' ');
    if (i == std::string_view::npos)
        return false;
    if (text[i] == '+' || text[i] == '-')
        ++i;
    if (i < text.size() && text[i] == '.')
        ++i;
    return i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]));
}

void LineChecks::fail(int line, std::string_view expected)
{
    if (fault_.empty())
        fault_ = DataFileError(file_, line, std::string(expected)).what();
}

void LineChecks::number(int line, std::string_view field)
{
    if (in_.has(line) && !beginsWithNumber(in_.whole(line)))
        fail(line, "a number for " + std::string(field));
}

void LineChecks::whole(int line, int low, int high, std::string_view field)
{
    if (!in_.has(line))
        return;
    const double v = in_.number(line);
    if (!beginsWithNumber(in_.whole(line)) || v != std::floor(v) || v < low || v > high)
        fail(line, std::string(field) + " as a whole number from " + std::to_string(low) + " to " +
                       std::to_string(high));
}

void LineChecks::length(std::string_view expected) { fail(0, expected); }

std::optional<SettingsLines> readFormFile(Ui& ui, const std::string& file)
{
    std::string why;
    auto lines = readLines(file, &why);
    if (!lines) {
        ui.alert(why);
        return std::nullopt;
    }
    return SettingsLines(std::move(*lines));
}

bool writeFormFile(Ui& ui, const std::string& file, const std::vector<std::string>& lines)
{
    FileReplacer out(file);
    for (const std::string& line : lines)
        out.line(line);
    if (out.commit())
        return true;
    ui.alert(out.error());
    return false;
}

bool setGroupFromCode(Form form, std::string_view group, double code)
{
    if (code != 1 && code != 2)
        return false;
    form.setGroupCode(group, int(code));
    return true;
}

std::string numberLine(int value) { return writeFieldNumber(value); }

} // namespace nivora
