// Shared by the object-creation tests: a session with the tree loaded, a
// node selected by its path of labels, and the Mandatory Attributes form
// filled as a user fills it.
#pragma once

#include "browser/tree/TreeCommands.h"
#include "tests/browser/BrowserTest.h"
#include "tools/create/MandatoryAttributesDialog.h"

#include <map>

// Below the root, each label a child of the one before; the root for none.
inline TreeNode* selectPath(AppContext& context, const Strings& path)
{
    TreeNode* node = context.state.tree.root();
    SelectNode(context, node);
    for (const std::string& label : path) {
        if (node->children.empty())
            ExpandNode(context);
        TreeNode* child = nullptr;
        for (const auto& candidate : node->children)
            if (candidate->label == label)
                child = candidate.get();
        if (!child)
            return nullptr;
        SelectNode(context, node = child);
    }
    return node;
}

// Types each value into its row, then presses OK; the names the form
// offered are kept in `offered`.
inline void fillForm(
    MandatoryAttributesDialog& form, const std::map<std::string, std::string>& values, Strings& offered)
{
    offered.clear();
    for (int i = 0; i < static_cast<int>(form.rows().size()); ++i) {
        const std::string& name = form.rows()[static_cast<std::size_t>(i)].name;
        offered.push_back(name);
        auto value = values.find(name);
        if (value != values.end())
            form.setValue(i, value->second);
    }
    if (!values.empty())
        form.ok();
}
