#include "app/program.h"

#include "app/settings_file.h"
#include "chartwin/overlay_format.h"
#include "platform/files.h"

namespace nivora {

Program::Program(std::filesystem::path folder) : ChartWindowRecords(std::move(folder)) {}

int Program::run() { return ui.run(); }

bool Program::loadSettingsFile(std::int16_t mode)
{
    settingsFileKept_ = false;
    return fileExists(file(settingsFileName).string()) &&
           INILOAD(*this, settingsFileName, mode, &settingsFileKept_);
}

bool Program::loadOverlayFormatFile(int mode)
{
    overlayFormatFileKept_ = false;
    const auto path = file(overlayFormatFileName);
    return fileExists(path.string()) && FRMLOAD(ui, overlayColors, path, mode, &overlayFormatFileKept_);
}

void Program::saveSettingsFile()
{
    if (!settingsFileKept_) INISAV(*this, settingsFileName);
}

void Program::saveOverlayFormatFile()
{
    if (!overlayFormatFileKept_) FRMSAV(ui, overlayColors, file(overlayFormatFileName));
}

} // namespace nivora
