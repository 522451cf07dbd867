// Writes a form's control table row by row, as it reads on the screen: each control goes beside
// the previous one until row() starts a new row; in() moves on into a group box. The last control
// added can be adjusted (off(), set(), width() ...). Labels the program never addresses get a
// name of their own in lower case, so they can never meet a control name of the program.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/forms.h"

namespace nivora {

class FormRows {
public:
    FormRows(std::string name, std::string title, Surface surface = Surface::None) {
        spec_.name = std::move(name);
        spec_.title = std::move(title);
        spec_.surface = surface;
    }

    // The next control starts a new row of the current container.
    FormRows& row() {
        newRow_ = true;
        return *this;
    }
    // Further controls go into this group box (empty: the form body), from a new row on.
    FormRows& in(std::string box) {
        box_ = std::move(box);
        return row();
    }

    FormRows& frame(std::string name, std::string caption = {}) {
        return add({.kind = ControlKind::Frame, .name = std::move(name), .caption = std::move(caption)});
    }
    FormRows& label(std::string caption) {
        return add({.kind = ControlKind::Label, .name = "label" + std::to_string(++unnamed_),
                    .caption = std::move(caption)});
    }
    FormRows& label(std::string name, std::string caption) {
        return add({.kind = ControlKind::Label, .name = std::move(name), .caption = std::move(caption)});
    }
    FormRows& edit(std::string name, std::string text = {}, int maxLength = 0) {
        return add({.kind = ControlKind::Edit, .name = std::move(name), .text = std::move(text),
                    .maxLength = maxLength});
    }
    FormRows& button(std::string name, std::string caption) {
        return add({.kind = ControlKind::Button, .name = std::move(name), .caption = std::move(caption)});
    }
    FormRows& check(std::string name, std::string caption) {
        return add({.kind = ControlKind::Check, .name = std::move(name), .caption = std::move(caption)});
    }
    // An option button at its 1-based position in the order its group's code counts.
    FormRows& radio(std::string name, std::string caption, std::string group, int position) {
        return add({.kind = ControlKind::Radio, .name = std::move(name), .caption = std::move(caption),
                    .group = std::move(group), .position = position});
    }
    FormRows& combo(std::string name, std::vector<std::string> items, int index = -1) {
        return add({.kind = ControlKind::Combo, .name = std::move(name), .items = std::move(items),
                    .index = index});
    }
    FormRows& picture(std::string name, int width, int height) {
        return add({.kind = ControlKind::Picture, .name = std::move(name), .width = width,
                    .height = height});
    }
    FormRows& scroll(std::string name, ControlKind kind) {
        return add({.kind = kind, .name = std::move(name)});
    }

    // Adjust the last control added.
    FormRows& off() { return last([](ControlSpec& c) { c.enabled = false; }); }
    FormRows& set() { return last([](ControlSpec& c) { c.value = 1; }); }
    // The last `count` controls start disabled.
    FormRows& offLast(int count) {
        for (auto it = spec_.controls.rbegin(); it != spec_.controls.rend() && count > 0; ++it, --count)
            it->enabled = false;
        return *this;
    }
    FormRows& digits() { return last([](ControlSpec& c) { c.digitsOnly = true; }); }
    FormRows& width(int pixels) { return last([pixels](ControlSpec& c) { c.width = pixels; }); }
    FormRows& height(int pixels) { return last([pixels](ControlSpec& c) { c.height = pixels; }); }
    FormRows& span(int columns) { return last([columns](ControlSpec& c) { c.span = columns; }); }
    FormRows& at(int column) { return last([column](ControlSpec& c) { c.column = column; }); }

    const FormSpec& spec() const { return spec_; }

private:
    FormRows& add(ControlSpec c) {
        c.box = box_;
        c.sameRow = !newRow_;
        newRow_ = false;
        spec_.controls.push_back(std::move(c));
        return *this;
    }
    template <class F>
    FormRows& last(F change) {
        if (!spec_.controls.empty())
            change(spec_.controls.back());
        return *this;
    }

    FormSpec spec_;
    std::string box_;
    bool newRow_ = true;
    int unnamed_ = 0;
};

} // namespace nivora
