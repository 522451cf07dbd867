#include "app/app_forms.h"

#include "options/form_rows.h"

namespace nivora {

FormSpec settingFilesForm() {
    FormRows f("FORM3", "Setting Files");
    f.frame("starMapBox", "Data files for Star Map");
    f.row().frame("earthMapBox", "Data files for Earth map");
    f.row().frame("fontBox");
    f.row().frame("buttonsBox");

    struct FileRow {
        const char *box, *caption, *edit, *button;
    };
    const FileRow rows[] = {
        {"starMapBox", "List of Stars(Mag<5.5)", "EDIT58", "BUTTON2"},
        {"starMapBox", "List of Stars(Mag>5.5)", "EDIT59", "BUTTON7"},
        {"starMapBox", "List of Constellations", "EDIT60", "BUTTON3"},
        {"starMapBox", "Lines of Constellations", "EDIT61", "BUTTON4"},
        {"earthMapBox", "List of Cities", "EDIT93", "BUTTON55"},
        {"earthMapBox", "(reserved)", "EDIT94", "BUTTON58"},
        {"earthMapBox", "List of Nations", "EDIT95", "BUTTON56"},
        {"earthMapBox", "Coast and Boundary", "EDIT96", "BUTTON57"},
    };
    for (const FileRow& r : rows) {
        f.in(r.box).label(r.caption).width(160);
        f.edit(r.edit).width(300);
        f.button(r.button, "Refer Files");
    }

    // fontKind = first + 2 x second; a first run starts Japanese.
    f.in("fontBox").radio("RADIO57", "Europian Language", "fontKind", 1);
    f.radio("RADIO58", "Japanese", "fontKind", 2).set();

    f.in("buttonsBox").button("BUTTON5", "OK").button("BUTTON6", "Cancel");
    return f.spec();
}

} // namespace nivora
