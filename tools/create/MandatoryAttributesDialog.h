// The "Mandatory Attributes" dialog of Create Object: one row per attribute
// the chosen class needs, each value typed in place, and the add of the new
// entry below the selected node, named by uid, else cn, else the first row.
#pragma once

#include "browser/DialogModel.h"

#include <array>
#include <string>
#include <vector>

struct AppContext;

class MandatoryAttributesDialog final : public DialogModel {
public:
    struct Column {
        const char* title;
        int width;
    };
    // The name column comes first on screen.
    static constexpr std::array<Column, 2> kColumns { { { "Attribute Name", 125 }, { "Attribute Value", 260 } } };
    static constexpr const char* kNoValue = "( No Value )";
    static constexpr const char* kText = "Please fill in all the attributes shown below";

    struct Row {
        std::string name;
        std::string value; // kNoValue until the user types one
        bool operator==(const Row&) const = default;
    };

    // className is the object class value the entry gets; labelText receives
    // the new RDN once the entry has been added.
    MandatoryAttributesDialog(AppContext& context, std::string className, const std::vector<std::string>& names,
        std::string parentDn, std::string& labelText);

    static constexpr const char* kResource = "Mandatory Attributes";
    std::string resourceName() const override { return kResource; }
    // "Mandatory Attributes for <class>"
    std::string caption() const { return "Mandatory Attributes for " + className_; }

    const std::vector<Row>& rows() const { return rows_; }
    // The end of an in-place edit: the text trimmed, an empty one back to kNoValue.
    void setValue(int row, const std::string& text);

    // Refuses while a value is missing; else adds the entry and ends, also
    // when the server refused it (its answer has been shown) or the
    // connection was lost.
    void ok();

private:
    AppContext& context_;
    std::string className_;
    std::string parentDn_;
    std::string& labelText_;
    std::vector<Row> rows_;
};
