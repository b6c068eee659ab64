// The "LDAP Search" window: a filter composed from an object class and up
// to three attribute conditions (or typed whole), a subtree search below
// the entry selected in the tree, the matching entries by their first RDN,
// and the attributes of the one chosen, edited in place as in the main
// view. Modeless: the view state keeps the model while the window is open,
// and the LDAP Search command shows it again.
//
// The filter field always holds the filter Search sends. Every change to
// the composing fields (class, names, values, filter type, Clear) composes
// it afresh, replacing whatever was typed there; typing in it makes the
// typed text the filter until the next such change.
//
// A lost connection ends the window and logs the main view out.
#pragma once

#include "browser/DialogControls.h"
#include "browser/DialogModel.h"
#include "browser/ViewState.h"
#include "browser/properties/AttributeEditing.h"
#include "browser/properties/AttributeList.h"
#include "tools/search/DnList.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct AppContext;

class LdapSearchDialog final : public DialogModel {
public:
    explicit LdapSearchDialog(AppContext& context);

    static constexpr const char* kResource = "LDAP Search";
    std::string resourceName() const override { return kResource; }

    static constexpr const char* kAllOf = "All of the above keywords";
    static constexpr const char* kAnyOf = "Any of the above keywords";

    AppContext& context() const { return context_; }

    // Reads the schema into the schema lists and the four drop-down lists.
    void read();

    const ChoiceList& objectClass() const { return objectClass_; }
    // Choosing a class offers only its attributes as names.
    void chooseClass(int index);
    void typeClass(std::string text);
    const ChoiceList& name(int row) const { return names_.at(row); }
    void chooseName(int row, int index);
    const TextField& value(int row) const { return values_.at(row); }
    void setValue(int row, std::string text);
    const ChoiceList& filterType() const { return filterType_; }
    void chooseFilterType(int index);
    const TextField& filter() const { return filter_; }
    void typeFilter(std::string text);

    const std::string& baseDn() const { return baseDn_; }
    // The first RDN of each entry found; the DNs themselves, in the same order.
    const ChoiceList& results() const { return results_; }
    const DnList& foundDns() const { return dns_; }
    // Shows the chosen entry's attributes.
    void chooseResult(int index);
    AttributeList& attributes() { return attributes_; }
    // What the in-place edits of the attribute list work on.
    EditedList editedList() { return { attributes_, editing_ }; }

    // "&Search", "S&ave Search...", "C&lear", "&Close" (and the close button).
    void search();
    void saveSearch();
    void clear();
    void close();
    void cancel() override { close(); }

private:
    void compose();
    void clearResults();
    void fillResults(const EntryRecord* result);
    // True after a search the user cancelled (the status bar says so) or one
    // that lost the connection, which has ended the window and logged out.
    bool stopped(int32_t code);
    std::string searchBase() const;

    AppContext& context_;
    ChoiceList objectClass_;
    std::array<ChoiceList, 3> names_;
    std::array<TextField, 3> values_;
    ChoiceList filterType_;
    TextField filter_;
    std::string baseDn_;
    // Every attribute type's name but objectClass's, offered when no class is chosen.
    std::vector<std::string> allNames_;
    ChoiceList results_;
    DnList dns_;
    AttributeList attributes_;
    EditingState editing_;
};

// The LDAP Search command: the window, made on first use and shown again
// while it is open; after a lost connection, the logout instead.
void LdapSearchCommand(AppContext& context);
