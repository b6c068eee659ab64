// The "Root DSE Information" dialog: every value of the server's root DSE,
// user and operational attributes alike (namingContexts, supportedControl,
// subschemaSubentry are operational on most servers), one row per value in
// the order the server sent them.
#pragma once

#include "browser/DialogModel.h"

#include <array>
#include <string>
#include <vector>

struct AppContext;

class RootDseDialog final : public DialogModel {
public:
    struct Column {
        const char* title;
        int width;
    };
    static constexpr std::array<Column, 2> kColumns { { { "Attribute Name", 260 }, { "Attribute Value", 125 } } };
    static constexpr bool kGridLines = true;

    struct Row {
        std::string name;
        std::string value; // as shown: "( No Value )" for an empty value
        bool operator==(const Row&) const = default;
    };

    explicit RootDseDialog(AppContext& context);

    static constexpr const char* kResource = "Root DSE Information";
    std::string resourceName() const override { return kResource; }

    // Run once before the dialog is shown. A refusal leaves the list empty;
    // a root DSE that cannot be read, or a lost connection, ends the dialog.
    void open();
    const std::vector<Row>& rows() const { return rows_; }
    // "&Close".
    void close() { end(DialogResult::Ok); }

private:
    AppContext& context_;
    std::vector<Row> rows_;
};

// The Root DSE Properties command: the dialog, then the connection-lost
// logout when reading the root DSE found the connection gone.
void RootDseProperties(AppContext& context);
