#include "tools/entries/EntrySteps.h"

#include "browser/AppContext.h"
#include "browser/CommandReports.h"
#include "browser/Desktop.h"
#include "browser/SearchOutcome.h"
#include "browser/ViewState.h"
#include "browser/session/ServerInfo.h"
#include "browser/session/ServerWaits.h"
#include "browser/tree/DnLabels.h"
#include "browser/tree/TreeCommands.h"
#include "ldap/AttrMod.h"
#include "ldap/OrnInterface.h"
#include "tools/entries/DnMatch.h"

#include <algorithm>
#include <strings.h>

namespace {

constexpr int32_t kScopeBase = 0;
constexpr int32_t kScopeOneLevel = 1;
constexpr int32_t kScopeSubtree = 2;
constexpr const char* kLinkAttribute = "OrnAttrObjectLink";

bool isEntry(const EntryRecord* entry)
{
    return entry && !entry->end_of_search;
}

// The search with the attributes named (none: the server's user attributes).
int32_t search(AppContext& context, const std::string& what, const std::string& base, const char* filter, int32_t scope,
    std::vector<std::string> attributes, HeldResult& result)
{
    std::vector<char*> wanted;
    for (std::string& attribute : attributes)
        wanted.push_back(attribute.data());
    wanted.push_back(nullptr);
    WaitingFor waiting(context, what);
    return context.service.OrnSearchSync(
        base.c_str(), filter, attributes.empty() ? nullptr : wanted.data(), 0, scope, result.place());
}

// The entry copy and the move show a refusal in a box with the
// application's title, then log it.
int32_t reportTransfer(AppContext& context, int32_t code)
{
    if (code > 0) {
        const std::string text = OrnLdapService::LdapErrorToString(code);
        context.desktop.error(text);
        ReportToGeneralLog(context, text);
    } else if (code < 0) {
        CallSucceeded(context, code);
    }
    return code;
}

} // namespace

std::optional<bool> HasChildren(AppContext& context, const std::string& dn)
{
    OrnLdapService& service = context.service;
    const int32_t limit = service.OrnGetSizeLimit();
    // One child is answer enough; the server stops there with a size limit.
    service.OrnSetSizeLimit(1);
    HeldResult children;
    const int32_t found
        = search(context, "Reading the entries below " + dn, dn, "objectClass=*", kScopeOneLevel, { "1.1" }, children);
    service.OrnSetSizeLimit(limit);
    if (!CutShort(found) && !CallSucceeded(context, found))
        return std::nullopt;
    return isEntry(children.get());
}

std::optional<std::vector<ObjectLink>> FindObjectLinks(AppContext& context)
{
    const std::string& base = context.state.connection.baseDn;
    HeldResult links;
    const int32_t found = search(context, "Looking for object links below " + base, base, "objectClass=OrnObjectLink",
        kScopeSubtree, { kLinkAttribute }, links);
    // A limit is reported as any refusal: a list cut short is no list.
    if (!CallSucceeded(context, found))
        return std::nullopt;
    std::vector<ObjectLink> list;
    for (const EntryRecord* entry = links.get(); isEntry(entry); entry = entry->next)
        for (const AttrRecord* attr = entry->attrs; attr; attr = attr->next)
            if (attr->name && strcasecmp(attr->name, kLinkAttribute) == 0)
                for (const ValueRecord* value = attr->values; value; value = value->next)
                    list.push_back({ EntryDn(entry), DnKey(value->data ? value->data : "") });
    return list;
}

std::vector<std::string> LinksNaming(const std::vector<ObjectLink>& links, const std::set<std::string>& keys)
{
    std::vector<std::string> named;
    for (const ObjectLink& link : links)
        if (keys.contains(link.targetKey) && !keys.contains(DnKey(link.dn)))
            named.push_back(link.dn);
    return named;
}

std::optional<std::vector<std::string>> SubtreeDnsDeepestFirst(AppContext& context, const std::string& dn)
{
    HeldResult subtree;
    const int32_t found
        = search(context, "Listing the entries below " + dn, dn, "objectClass=*", kScopeSubtree, { "1.1" }, subtree);
    if (!CallSucceeded(context, found))
        return std::nullopt;
    std::vector<std::pair<std::size_t, std::string>> byDepth;
    for (const EntryRecord* entry = subtree.get(); isEntry(entry); entry = entry->next) {
        std::string entryName = EntryDn(entry);
        byDepth.emplace_back(DnDepth(entryName), std::move(entryName));
    }
    std::stable_sort(byDepth.begin(), byDepth.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    std::vector<std::string> dns;
    dns.reserve(byDepth.size());
    for (auto& [depth, entryName] : byDepth)
        dns.push_back(std::move(entryName));
    return dns;
}

int32_t CopyEntry(AppContext& context, const std::string& sourceDn, const std::string& destinationDn)
{
    ViewState& state = context.state;
    state.generalResult.release();
    HeldResult source;
    const int32_t read = search(context, "Reading " + sourceDn, sourceDn, "objectClass=*", kScopeBase, {}, source);
    if (read != 0 || !isEntry(source.get())) {
        if (ReportSearchCancelled(context, read))
            return read;
        return reportTransfer(context, read == 0 ? kNoSuchObject : read);
    }

    // One attribute per type with all its values, as BerValues so that each
    // goes whole; the dn the result model puts first is not an attribute.
    std::vector<std::vector<BerValue>> values;
    std::vector<std::vector<BerValue*>> valueLists;
    std::vector<AttrMod> mods;
    for (const AttrRecord* attr = source.get()->attrs; attr; attr = attr->next) {
        if (!attr->name || attr == source.get()->attrs)
            continue;
        auto& bytes = values.emplace_back();
        for (const ValueRecord* value = attr->values; value; value = value->next)
            bytes.push_back({ static_cast<uint32_t>(value->len > 0 ? value->len - 1 : 0), value->data });
        mods.push_back({ ATTR_MOD_ADD | ATTR_MOD_BVALUES, attr->name, { nullptr } });
    }
    for (auto& bytes : values) {
        auto& list = valueLists.emplace_back();
        for (BerValue& value : bytes)
            list.push_back(&value);
        list.push_back(nullptr);
    }
    std::vector<AttrMod*> request;
    for (std::size_t i = 0; i < mods.size(); ++i) {
        mods[i].bvalues = valueLists[i].data();
        request.push_back(&mods[i]);
    }
    request.push_back(nullptr);

    const std::string newDn = SplitRdns(sourceDn).front() + "," + destinationDn;
    WaitingFor waiting(context, "Adding " + newDn);
    return reportTransfer(context, context.service.OrnAddSync(newDn.c_str(), request.data()));
}

int32_t MoveEntry(AppContext& context, const std::string& sourceDn, const std::string& destinationDn)
{
    const std::string rdn = SplitRdns(sourceDn).front();
    WaitingFor waiting(context, "Moving " + sourceDn + " below " + destinationDn);
    // The RDN stays as it is, so there is no old value to delete.
    return reportTransfer(
        context, context.service.OrnModifyRdnSync(sourceDn.c_str(), rdn.c_str(), 0, destinationDn.c_str()));
}

TreeNode* FindNode(AppContext& context, const std::string& dn)
{
    TreeNode* node = context.state.tree.root();
    if (!node)
        return nullptr;
    const std::vector<std::string> rdns = SplitRdns(dn);
    const std::size_t baseDepth = DnDepth(node->label);
    if (rdns.size() < baseDepth)
        return nullptr;
    std::string base;
    for (std::size_t i = rdns.size() - baseDepth; i < rdns.size(); ++i)
        base += (base.empty() ? "" : ",") + rdns[i];
    if (!SameDn(base, node->label))
        return nullptr;
    for (std::size_t level = rdns.size() - baseDepth; level-- > 0 && node;) {
        const std::string key = DnKey(rdns[level]);
        auto& children = node->children;
        auto child = std::find_if(
            children.begin(), children.end(), [&](const auto& candidate) { return DnKey(candidate->label) == key; });
        node = child == children.end() ? nullptr : child->get();
    }
    return node;
}

TreeNode* ShowPlaced(AppContext& context, TreeNode& target, const std::string& sourceDn, bool moved)
{
    std::string label = SplitRdns(sourceDn).front();
    context.state.loadedDns.push_back(label + "," + BuildFullDn(target));
    if (moved)
        if (TreeNode* source = FindNode(context, sourceDn))
            RemoveNode(context, *source);
    return InsertChildNode(context, target, label);
}

void RemoveNode(AppContext& context, TreeNode& node)
{
    DirectoryTree& tree = context.state.tree;
    TreeNode* parent = node.parent;
    tree.remove(&node);
    if (parent && parent->children.empty() && parent != tree.root()) {
        tree.setServerSaysChildren(parent, false);
        tree.setImage(parent, NodeImage::Leaf);
    }
}

bool DeleteLinks(AppContext& context, const std::vector<std::string>& linkDns)
{
    for (const std::string& link : linkDns) {
        WaitingFor waiting(context, "Deleting " + link);
        const int32_t deleted = context.service.OrnDeleteSync(link.c_str());
        if (deleted < 0) {
            CallSucceeded(context, deleted);
            return false;
        }
        if (deleted == 0)
            if (TreeNode* node = FindNode(context, link))
                RemoveNode(context, *node);
    }
    return true;
}
