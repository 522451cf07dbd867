#include "app/program.h"

#include "app/settings_file.h"
#include "astro/datafile.h"
#include "chartwin/overlay_format.h"
#include "platform/files.h"

namespace nivora {

namespace {

// A name that is, or links to, something other than a plain file (a named pipe, a device, a
// folder), or a link that cannot be followed, is named in an "ALERT" and kept: never opened,
// never written through or over. `notPlain` says what it is.
bool isPlainOrAbsent(Ui& ui, const std::filesystem::path& path, bool& kept, std::string& notPlain)
{
    if (const std::string what = notAPlainFileButWhat(path); !what.empty())
        notPlain = what + ", not a plain file";
    else if (const std::string why = whyNoLinkFollowed(path); !why.empty())
        notPlain = "a link that cannot be followed (" + why + ")";
    else
        notPlain.clear();
    if (notPlain.empty()) return true;
    ui.alert("\"" + escapeControls(path.string()) + "\" is " + notPlain +
             ": it is not read, and nothing is written through it or over it.");
    kept = true;
    return false;
}

// The end tells what it did not save, so that nobody takes the settings for saved.
void sayNothingWritten(Ui& ui, const std::filesystem::path& path, const std::string& notPlain)
{
    if (ui.shutDownStarted() && !notPlain.empty())
        ui.alert("Nothing was written to \"" + escapeControls(path.string()) + "\": it is " + notPlain + ".");
}

} // namespace

Program::Program(std::filesystem::path folder) : ChartWindowRecords(std::move(folder)) {}

int Program::run() { return ui.run(); }

bool Program::loadSettingsFile(std::int16_t mode)
{
    settingsFileKept_ = false;
    const auto path = file(settingsFileName);
    return isPlainOrAbsent(ui, path, settingsFileKept_, settingsFileNotPlain_) && fileExists(path.string()) &&
           INILOAD(*this, settingsFileName, mode, &settingsFileKept_);
}

bool Program::loadOverlayFormatFile(int mode)
{
    overlayFormatFileKept_ = false;
    const auto path = file(overlayFormatFileName);
    return isPlainOrAbsent(ui, path, overlayFormatFileKept_, overlayFormatFileNotPlain_) && fileExists(path.string()) &&
           FRMLOAD(ui, overlayColors, path, mode, &overlayFormatFileKept_);
}

void Program::saveSettingsFile()
{
    if (!settingsFileKept_)
        INISAV(*this, settingsFileName);
    else
        sayNothingWritten(ui, file(settingsFileName), settingsFileNotPlain_);
}

void Program::saveOverlayFormatFile()
{
    if (!overlayFormatFileKept_)
        FRMSAV(ui, overlayColors, file(overlayFormatFileName));
    else
        sayNothingWritten(ui, file(overlayFormatFileName), overlayFormatFileNotPlain_);
}

} // namespace nivora
