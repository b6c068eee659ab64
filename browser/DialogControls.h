// Control states the dialog models share: a text field that may be
// disabled, a list or combo box with its items, its selection and the text
// in its box, and a status line such as a login dialog's progress.
#pragma once

#include <string>
#include <utility>
#include <vector>

struct TextField {
    std::string text;
    bool enabled = true;
};

struct ChoiceList {
    std::vector<std::string> items;
    int selected = -1; // -1: nothing chosen from the items
    std::string text;  // the box's text: the chosen item, or what was typed

    // False, and nothing changes, when index is not an item.
    bool choose(int index)
    {
        if (index < 0 || index >= static_cast<int>(items.size()))
            return false;
        selected = index;
        text = items[static_cast<std::size_t>(index)];
        return true;
    }
    // Typing into the box leaves no item chosen.
    void type(std::string typed)
    {
        text = std::move(typed);
        selected = -1;
    }
    void fill(std::vector<std::string> newItems)
    {
        items = std::move(newItems);
        selected = -1;
        text.clear();
    }
};

struct StatusLine {
    std::string text;
    bool visible = false;

    void show(std::string line)
    {
        text = std::move(line);
        visible = true;
    }
    void hide() { visible = false; }
};
