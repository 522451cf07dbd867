// Forms, controls, menus and handlers: the windows of the program, declared as tables and reached
// by name. Only this layer sees Qt widgets; everything above it speaks in names and texts.
//
// A form is declared once as a FormSpec (name, title, controls) and loaded into a Ui. Controls are
// found by name (`ui.control("EDIT12")`), handlers are bound by name (`ui.bind("BUTTON1_ON", f)`).
//
// Handler names are the control's (or form's, or menu item's) name, "_", and the event:
//   _ON      a user's click on a Button, Check or Radio; a user's choice of a menu item
//   _CHANGE  a user's edit of an Edit, choice in a Combo or List, move of an HScroll/VScroll
//   _CLICK   a user's click on a Picture; on a canvas form (FORM2) a click on its surface
//   _RESIZE  a user's resize of a form (FORM2_RESIZE)
//   _QUERYCLOSE  the close box of MAINFORM, just before the program shuts down
// Only the user's action fires a handler. Setting a value from code never does.
//
// Tests act as the user would through Ui::user*(): they change the value exactly as the user's
// action does and then fire the handler.
#pragma once

#include "platform/application.h"
#include "platform/ui_types.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nivora {

class Dialogs;

enum class ControlKind {
    Label,        // caption only
    Edit,         // one-line text box
    Button,       // push button: _ON
    Check,        // check box, value 0/1: _ON
    Radio,        // option button, value 0/1, member of a group: _ON
    Combo,        // drop-down list, index -1 when nothing is chosen: _CHANGE
    List,         // list box, index -1 when nothing is chosen: _CHANGE
    Picture,      // painted area: fill, text at a pixel: _CLICK
    Frame,        // group box with a caption; other controls name it in `box`
    HScroll,      // horizontal scroll bar, value in [min, max]: _CHANGE
    VScroll,      // vertical scroll bar: _CHANGE
};

// One control of a form. Written as a table row; only kind and name are required:
//   { ControlKind::Edit, "EDIT80", "", "1", 5 }
//   { .kind = ControlKind::Radio, .name = "RADIO72", .caption = "AU", .group = "UNIT",
//     .position = 1, .value = 1, .box = "FRAME7" }
// Layout: every container (the form body or a Frame) is a grid. A control starts a new row of its
// container unless `sameRow` is set, when it takes the next column of the previous control's row.
// `column` places it at an explicit column instead; `span` lets it cover several columns. Rows
// and frames grow with their content; `width`/`height` are minimum sizes in pixels (0: natural).
struct ControlSpec {
    ControlKind kind;
    std::string name;
    std::string caption = {};              // Button, Check, Radio, Label, Frame
    std::string text = {};                 // initial text of an Edit
    int maxLength = 0;                     // Edit: most characters accepted, 0 = no limit
    bool enabled = true;
    bool digitsOnly = false;               // Edit: accepts only 0-9
    std::string group = {};                // Radio: option-group name, unique in its form
    int position = 0;                      // Radio: 1-based position in the group's code order
    int value = 0;                         // Check/Radio: initial 0/1; scroll bars: initial value
    std::vector<std::string> items = {};   // Combo/List: initial items
    int index = -1;                        // Combo/List: initial index, -1 none
    bool visible = true;                   // visible within its form
    // Layout hints.
    std::string box = {};                  // name of the Frame it sits in; empty: the form body
    bool sameRow = false;
    int column = -1;
    int span = 1;
    int width = 0;
    int height = 0;
};

// What a form shows besides its controls.
enum class Surface {
    None,
    Canvas,     // the client area shows a bitmap at an offset, with click and resize (FORM2);
                // its HScroll/VScroll controls dock at the bottom and right edges
    Text,       // the client area is a text surface printed line by line (FORM6); the controls
                // sit below it
};

// A canvas form's outer size, as set and reported, is the part of its surface that the scroll
// bars leave free plus this fixed frame, the one the stored chart window sizes count. The window
// manager's frame and the scroll bars come on top of it, so a stored size shows the same part of
// the bitmap under any window manager, whether the bars are in use or not.
constexpr int canvasFrameWidth = 8;
constexpr int canvasFrameHeight = 34;

struct FormSpec {
    std::string name;                      // "MAINFORM", "FORM2" ... "FORM9"
    std::string title;
    std::vector<ControlSpec> controls;
    Surface surface = Surface::None;
};

// One row of the menu bar table, in display order. depth 0 is a menu on the bar, depth 1 an
// entry of it, depth 2 an entry of a depth-1 sub-menu, and so on. A row followed by a deeper
// row is a (named) sub-menu. A caption of "-" makes a (named) separator.
struct MenuSpec {
    int depth;
    std::string name;
    std::string caption;
    bool checked = false;
    bool enabled = true;
};

class Form;
class Ui;

// A handle to one control. Cheap to copy; valid while its Ui lives. Reading a property that the
// kind has not (the items of a Button) gives an empty value; writing it does nothing.
class Control {
public:
    const std::string& name() const;
    ControlKind kind() const;

    std::string text() const;              // Edit: text; Label, Button, Check, Radio: caption;
    void setText(std::string_view text);   // Combo: text of the chosen item
    std::string caption() const;
    void setCaption(std::string_view caption);
    int value() const;                     // Check/Radio: 0 or 1; scroll bars: position
    void setValue(int value);              // Radio: sets only this button (a group may have none)

    std::vector<std::string> items() const;    // Combo/List
    void setItems(const std::vector<std::string>& items);
    void addItem(std::string_view item);
    void clearItems();
    int itemCount() const;
    int index() const;                     // -1 when nothing is chosen
    void setIndex(int index);              // -1 clears the choice; out of range is ignored

    bool enabled() const;
    void setEnabled(bool on);
    bool visible() const;
    void setVisible(bool on);
    FontSpec font() const;
    void setFont(const FontSpec& font);
    Geometry geometry() const;
    void setGeometry(const Geometry& g);

    // Scroll bars.
    int minimum() const;
    int maximum() const;
    void setRange(int minimum, int maximum);

    // Pictures: paint over what is there; shown until painted again.
    void fill(Rgb colour);
    void drawText(int x, int y, std::string_view text, Rgb colour);

    struct Impl;
    explicit Control(Impl* impl) : impl_(impl) {}
    Impl* impl() const { return impl_; }

private:
    Impl* impl_;
};

class ChartBitmap;

// A handle to one form.
class Form {
public:
    const std::string& name() const;
    Control control(std::string_view name) const;   // throws std::out_of_range when unknown
    bool has(std::string_view name) const;
    std::vector<std::string> controlNames() const;

    // Option group: sum of position x value over its buttons (0 when none is set).
    int groupCode(std::string_view group) const;
    // Sets the button at `position` and clears the others; 0 clears the whole group.
    void setGroupCode(std::string_view group, int position);

    std::string title() const;
    void setTitle(std::string_view title);
    // Shows and raises; a hidden form keeps its values. A form other than the main window that
    // has never been shown or moved opens over the main window, below its menu bar. A form that
    // would reach past the free part of the screen opens within it: a place the program chose so
    // moves back into it, a place given by move() stays; what still does not fit scrolls.
    void show();
    void hide();
    bool visible() const;
    // Outer geometry, frame and caption included (a canvas form's size: see canvasFrameWidth).
    Geometry geometry() const;
    void setGeometry(const Geometry& g);
    void resize(int outerWidth, int outerHeight);
    // A size the program chose itself, not one the user gave: at the window's next show it is
    // cut, where it must be, so that the whole window, frame included, lies on the free part of
    // the screen right of and below its place, and the form's _RESIZE handler then runs. Until
    // that show (or another size) the size is provisional.
    void resizeWithinScreen(int outerWidth, int outerHeight);
    bool sizeProvisional() const;
    void move(int left, int top);
    void raise();
    FontSpec font() const;
    void setFont(const FontSpec& font);   // what the form prints; its controls keep their fonts

    // Canvas forms (Surface::Canvas).
    // Shows the bitmap with its top-left corner at (x, y) of the client area; erases the
    // window's own marks. The form keeps a reference: keep the bitmap alive while shown.
    void paintBitmap(const ChartBitmap& bitmap, int x, int y);
    void clearSurface();         // client area blank (the window's background)
    // A mark drawn on the window only, gone at the next paintBitmap.
    void drawWindowLine(int x1, int y1, int x2, int y2, Rgb colour);
    int clickX() const;          // position of the last click on the surface, client pixels
    int clickY() const;

    // Text surfaces (Surface::Text).
    void clearText();
    void print(std::string_view text, bool endLine = true);
    // Prints a number through a picture format: "##", "(#####", "#####)". Each '#' is a digit
    // place; the number is rounded to a whole number and right-aligned in them; other
    // characters are printed as they are.
    void printFormatted(std::string_view picture, double value, bool endLine = false);
    std::string surfaceText() const;      // what is printed, lines joined by '\n'
    // Sizes the window to the printed lines and the controls below them in the form's font,
    // smaller after a longer text, never below the outer size given.
    void fitText(int minOuterWidth, int minOuterHeight);

    struct Impl;
    explicit Form(Impl* impl) : impl_(impl) {}
    Impl* impl() const { return impl_; }

private:
    Impl* impl_;
};

// A handle to one menu item, sub-menu or separator.
class MenuItem {
public:
    const std::string& name() const;
    bool checked() const;
    void setChecked(bool on);
    bool enabled() const;
    void setEnabled(bool on);
    bool visible() const;
    void setVisible(bool on);
    std::string caption() const;
    void setCaption(std::string_view caption);

    struct Impl;
    explicit MenuItem(Impl* impl) : impl_(impl) {}
    Impl* impl() const { return impl_; }

private:
    Impl* impl_;
};

// What a handler does while a drawing runs.
enum class WhileDrawing {
    Run,       // runs nested inside the drawing (menus, scrolling, form edits)
    Refuse,    // ignored: it would re-create the bitmap or read half-built state (DRAW, an
               // overdraw, a chart click, a search)
};

using Handler = std::function<void()>;

// All forms and the menu bar of one run of the program. Needs a QApplication (ensureApplication).
class Ui {
public:
    Ui();
    ~Ui();
    Ui(const Ui&) = delete;
    Ui& operator=(const Ui&) = delete;

    // Declaring. The first form loaded is the main window; MAINFORM by convention.
    Form load(const FormSpec& spec);
    void setMenu(const std::vector<MenuSpec>& table);   // the main window's menu bar

    // Reaching by name. Control and form names are exact; menu names ignore case. The names the
    // program addresses are unique across forms; where a name repeats, the first form loaded wins.
    Form form(std::string_view name) const;               // throws std::out_of_range
    bool hasForm(std::string_view name) const;
    Control control(std::string_view name) const;         // searches every form
    bool hasControl(std::string_view name) const;
    // A control of a form that may not be loaded (a test loads only some): its value or text,
    // 0 or "" without the form or the control.
    int formValue(std::string_view form, std::string_view control) const;
    std::string formText(std::string_view form, std::string_view control) const;
    // The number its text starts with, held in single precision as the windows keep numbers.
    float formNumber(std::string_view form, std::string_view control) const;
    MenuItem menu(std::string_view name) const;           // throws std::out_of_range
    bool hasMenu(std::string_view name) const;
    std::vector<std::string> menuNames() const;
    // Checks one menu item by name; a shorthand handlers use to move marks.
    void check(std::string_view menuName, bool on = true);
    Form mainForm() const;

    // Handlers, by "NAME_EVENT". Throws std::invalid_argument when no control, form or menu
    // item of that name exists or the event does not suit it. Binding again replaces.
    void bind(std::string_view handlerName, Handler handler,
              WhileDrawing whileDrawing = WhileDrawing::Run);
    bool isBound(std::string_view handlerName) const;

    // The user's actions, for tests: each changes what the user's action changes, then fires
    // the handler exactly as a real event would (the drawing guard included).
    void userClick(std::string_view controlName);        // Button, Check (toggles), Radio
                                                         // (selects, clears its group), Picture
    // Replaces the text as if typed key by key: keys the box refuses (a letter in a digits-only
    // box, one past the maximum length) are lost.
    void userType(std::string_view editName, std::string_view text);
    void userChoose(std::string_view comboOrListName, int index);
    void userScroll(std::string_view scrollName, int value);
    void userMenu(std::string_view menuName);            // a menu item chosen
    void userClickForm(std::string_view formName, int x, int y);  // on a canvas surface
    void userResize(std::string_view formName, int outerWidth, int outerHeight);
    void userClose(std::string_view formName);           // the close box

    // Dialogs: the Qt ones unless replaced (tests give a scripted one). Ui keeps ownership.
    Dialogs& dialogs();
    void setDialogs(std::unique_ptr<Dialogs> dialogs);
    // The "ALERT" box, through dialogs().
    void alert(std::string_view message);

    // Long handlers. While a DrawingScope lives, handlers bound with WhileDrawing::Refuse are
    // ignored, also those that arrive inside a modal box shown by the drawing.
    bool drawing() const;
    class DrawingScope {
    public:
        explicit DrawingScope(Ui& ui);
        ~DrawingScope();
        DrawingScope(const DrawingScope&) = delete;
        DrawingScope& operator=(const DrawingScope&) = delete;
    private:
        Ui& ui_;
        bool was_;
    };
    // Dispatches pending window events; long handlers call it between their steps.
    void pumpEvents();

    // Shut-down. shutDown() runs the save step, then the exit step, once per run (later calls
    // return at once), and does not return to its caller when a drawing runs. Closing the main
    // window leads here (after MAINFORM_QUERYCLOSE, when bound), whatever other form is open.
    // The default exit leaves the event loop, or, in a drawing, ends the process at once. Tests
    // inject an exit that records the call (and throws, to see that nothing after it runs).
    void setShutdownSave(std::function<void()> save);
    void setExit(std::function<void(int code)> exit);
    void shutDown();
    bool shutDownStarted() const;

    // Runs the event loop until shutDown(); returns the exit code.
    int run();

    struct Impl;
    Impl& impl() const { return *impl_; }

private:
    std::unique_ptr<Impl> impl_;
};

// A number through a picture format: each '#' a digit place, the number rounded to a whole
// number and right-aligned in them (never cut), other characters as they are.
std::string formatPicture(std::string_view picture, double value);

} // namespace nivora
