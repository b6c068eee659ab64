#include "tools/search/SearchDialog.h"

#include "browser/AppContext.h"
#include "browser/CommandReports.h"
#include "browser/Desktop.h"
#include "browser/ModelessWindow.h"
#include "browser/ReplaceFile.h"
#include "browser/SearchOutcome.h"
#include "browser/properties/EntryProperties.h"
#include "browser/session/Logout.h"
#include "browser/session/ServerInfo.h"
#include "browser/session/ServerWaits.h"
#include "ldap/OrnInterface.h"
#include "tools/schema/SchemaRead.h"
#include "tools/search/SearchFilter.h"

#include <strings.h>

#include <optional>
#include <utility>

namespace {

constexpr const char* kReadingSchema = "LDAP Search in Progress Getting Schema Details";
constexpr const char* kSearching = "Search in Progress";
constexpr const char* kDisplaying = "Displaying Properties of the Selected Item";
constexpr int32_t kScopeBase = 0;
constexpr int32_t kScopeSubtree = 2;

bool sameName(const std::string& a, const char* b)
{
    return strcasecmp(a.c_str(), b) == 0;
}

// A type with several names ('cn' 'commonName') is offered by its first.
std::string firstName(std::string name)
{
    for (char& c : name)
        if (c == '\'')
            c = ' ';
    const std::size_t first = name.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return name.substr(first, name.find(' ', first) - first);
}

void fillNames(std::array<ChoiceList, 3>& lists, const std::vector<std::string>& names)
{
    for (ChoiceList& list : lists)
        list.fill(names);
}

} // namespace

LdapSearchDialog::LdapSearchDialog(AppContext& context)
    : context_(context)
{
    objectClass_.text = "*";
    for (TextField& value : values_)
        value.text = "*";
    filterType_.items = { kAllOf, kAnyOf };
    filterType_.choose(0);
    editing_.keepDn = true;
    compose();
}

void LdapSearchDialog::read()
{
    context_.desktop.setStatusText(kReadingSchema);
    SchemaNames names;
    const SchemaReadEnd read = ReadWholeSchema(context_, names);
    if (read != SchemaReadEnd::Read) {
        if (read == SchemaReadEnd::NoSchema || context_.state.flags.connectionLost)
            close();
        if (context_.state.flags.connectionLost)
            Logout(context_);
        return;
    }
    SortNames(names.classes);
    objectClass_.items = std::move(names.classes);
    for (std::string& name : names.attributes) {
        std::string first = firstName(std::move(name));
        if (!first.empty() && !sameName(first, "objectclass") && !sameName(first, "objectclasses"))
            allNames_.push_back(std::move(first));
    }
    SortNames(allNames_);
    fillNames(names_, allNames_);
    context_.desktop.setStatusText(kAppTitle);
    changed();
}

void LdapSearchDialog::chooseClass(int index)
{
    if (!objectClass_.choose(index))
        return;
    std::vector<std::string> offered;
    if (const ObjectClassRecord* record = context_.state.objectClasses.find(objectClass_.text))
        for (const std::string* joined : { &record->mandatory, &record->optional })
            for (std::string& name : SplitAtDollar(*joined))
                if (!sameName(name, "objectclass"))
                    offered.push_back(std::move(name));
    fillNames(names_, offered);
    compose();
}

void LdapSearchDialog::typeClass(std::string text)
{
    objectClass_.type(std::move(text));
    compose();
}

void LdapSearchDialog::chooseName(int row, int index)
{
    if (names_.at(row).choose(index))
        compose();
}

void LdapSearchDialog::setValue(int row, std::string text)
{
    values_.at(row).text = std::move(text);
    compose();
}

void LdapSearchDialog::chooseFilterType(int index)
{
    if (filterType_.choose(index))
        compose();
}

void LdapSearchDialog::typeFilter(std::string text)
{
    filter_.text = std::move(text);
}

void LdapSearchDialog::compose()
{
    FilterParts parts { objectClass_.text, {}, filterType_.text.find("All") != std::string::npos };
    for (std::size_t row = 0; row < parts.conditions.size(); ++row)
        parts.conditions[row] = { names_[row].text, values_[row].text };
    filter_.text = ComposeFilter(parts);
    changed();
}

std::string LdapSearchDialog::searchBase() const
{
    const ViewState& state = context_.state;
    const bool belowEntry = state.tree.selected() && state.selection.level != 2;
    return belowEntry ? state.selection.fullDn : state.connection.baseDn;
}

void LdapSearchDialog::search()
{
    Desktop& desktop = context_.desktop;
    OrnLdapService& service = context_.service;
    // The library would refuse it as an encoding failure, which reads as a lost connection.
    if (!FilterCompiles(filter_.text)) {
        desktop.error("The filter " + filter_.text + " is not a valid search filter. Nothing was sent.", "Error");
        return;
    }
    clearResults();
    context_.state.generalResult.release();
    desktop.setStatusText(kSearching);
    baseDn_ = searchBase();
    changed();
    if (service.OrnSetSizeLimit(0) != 0 || service.OrnSetTimeLimit(0) != 0)
        desktop.error("OrnLdapService:", "Error setting the time and size limit");

    HeldResult found;
    int32_t code = 0;
    {
        WaitingFor waiting(context_, "Searching below " + baseDn_);
        code = service.OrnSearchSync(baseDn_.c_str(), filter_.text.c_str(), nullptr, 0, kScopeSubtree, found.place());
    }
    if (stopped(code))
        return;
    if (code > 0 && !CutShort(code)) {
        ReportServerResponse(context_, code);
    } else {
        fillResults(found.get());
        found.release();
        if (CutShort(code))
            ReportIncompleteList(context_, code, static_cast<int>(dns_.size()));
        if (results_.items.empty())
            desktop.inform("No Records found", "Warning", MessageIcon::Warning);
    }
    changed();
    if (results_.items.empty())
        desktop.setStatusText(kAppTitle);
    else
        chooseResult(0);
}

void LdapSearchDialog::fillResults(const EntryRecord* result)
{
    std::size_t count = 0;
    for (const EntryRecord* entry = result; entry && !entry->end_of_search; entry = entry->next)
        ++count;
    results_.items.reserve(count);
    dns_.reserve(count);
    for (const EntryRecord* entry = result; entry && !entry->end_of_search; entry = entry->next) {
        const std::string dn = EntryDn(entry);
        results_.items.emplace_back(dn.substr(0, dn.find(',')));
        dns_.append(dn);
    }
}

bool LdapSearchDialog::stopped(int32_t code)
{
    if (code >= 0)
        return false;
    if (!ReportSearchCancelled(context_, code)) {
        ReportConnectionLost(context_, kConnectionTimedOutAgain, code);
        close();
        Logout(context_);
    }
    return true;
}

void LdapSearchDialog::chooseResult(int index)
{
    if (!results_.choose(index))
        return;
    ViewState& state = context_.state;
    Desktop& desktop = context_.desktop;
    state.generalResult.release();
    attributes_.clear();
    desktop.setStatusText(kDisplaying);
    const std::string dn(dns_[static_cast<std::size_t>(index)]);
    editing_.dnToShow = dn;
    editing_.namingAttribute = dn.substr(0, dn.find('='));
    int32_t code = 0;
    {
        WaitingFor waiting(context_, "Reading " + dn);
        code = context_.service.OrnSearchSync(dn.c_str(), "objectclass=*", nullptr, 0, kScopeBase, state.generalResult.place());
    }
    if (stopped(code))
        return;
    if (code > 0)
        ReportServerResponse(context_, code);
    const EntryRecord* entry = state.generalResult.get();
    if (code == 0 && entry && !entry->end_of_search)
        for (AttributeRow& row : EntryRows(state, *entry))
            attributes_.append(std::move(row));
    state.generalResult.release();
    desktop.setStatusText(kAppTitle);
    changed();
}

void LdapSearchDialog::clearResults()
{
    results_.fill({});
    dns_.clear();
    attributes_.clear();
}

void LdapSearchDialog::clear()
{
    for (TextField& value : values_)
        value.text = "*";
    clearResults();
    context_.state.generalResult.release();
    compose();
}

void LdapSearchDialog::saveSearch()
{
    FileDialogRequest request { { { "Text File(.txt)", "*.txt" }, { "All Files (*.*)", "*.*" } }, {} };
    std::optional<FileChoice> chosen = context_.desktop.saveFileName(request);
    if (!chosen)
        return;
    if (chosen->filter == 0 && chosen->path.find(".txt") == std::string::npos)
        chosen->path += ".txt";
    std::string text;
    for (std::size_t index = 0; index < dns_.size(); ++index)
        text.append(dns_[index]).push_back('\n');
    if (!replaceFile(chosen->path, chosen->path + ".part", text))
        context_.desktop.error("cannot open file for saving", "Error");
}

void LdapSearchDialog::close()
{
    ViewState& state = context_.state;
    clearResults();
    state.generalResult.release();
    state.rootDseResult.release();
    // The schema lists stay: the main view's syntax column reads them.
    end(DialogResult::Ok);
}

void LdapSearchCommand(AppContext& context)
{
    context.state.generalResult.release();
    if (context.state.flags.connectionLost)
        Logout(context);
    else
        OpenModelessWindow<LdapSearchDialog>(context, context.state.ldapSearch);
}
