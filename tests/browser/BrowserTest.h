// Shared by the browser tests: short names for what they compare, a typed
// dialog driver, and a session fixture with the checks and tree walks that
// several folders need.
#pragma once

#include "browser/session/LoginCommand.h"
#include "ldap/OrnCodes.h"
#include "tests/support/CoreSession.h"

#include <algorithm>
#include <string>
#include <vector>

using Box = FakeDesktop::Box;
using Boxes = std::vector<Box>;
using Strings = std::vector<std::string>;

inline Box errorBox(const std::string& text, const std::string& title = "Error")
{
    return { text, title, MessageIcon::Error, MessageButtons::Ok };
}
inline Box plainBox(const std::string& text, const std::string& title = kAppTitle, MessageIcon icon = MessageIcon::None)
{
    return { text, title, icon, MessageButtons::Ok };
}

// What the general log gets when a command finds the server gone.
inline const std::string kLostLine = "ServerIp 127.0.0.1 Connection to the Server 127.0.0.1 lost\n";

// The next dialog of Model's kind is worked by user, a callable taking Model&.
template <class Model, class User>
void onDialog(FakeDesktop& desktop, User user)
{
    desktop.onDialog(Model::kResource, [user](DialogModel& model) mutable { user(dynamic_cast<Model&>(model)); });
}

inline int indexOf(const Strings& items, const std::string& item)
{
    return static_cast<int>(std::find(items.begin(), items.end(), item) - items.begin());
}

class BrowserTest : public CoreSessionTest {
protected:
    // A search that needs a live connection.
    int32_t searchBase()
    {
        EntryRecord* result = nullptr;
        int32_t found = service.OrnSearchSync(SlapdServer::suffix(), "objectclass=*", nullptr, 0, 0, &result);
        OrnLdapService::OrnFreeResult(result);
        return found;
    }

    // The view as any way out of a session leaves it.
    void expectLoggedOut()
    {
        EXPECT_EQ(desktop.lastTitle(), kNotConnectedTitle);
        EXPECT_TRUE(state.flags.viewNotConnected);
        EXPECT_FALSE(state.flags.connectionLost || state.flags.loggedIn);
        EXPECT_EQ(state.connection.host, "");
        EXPECT_EQ(state.connection.port, 0);
        EXPECT_EQ(state.connection.bindDn, "");
        EXPECT_EQ(state.connection.password, "");
        EXPECT_TRUE(state.tree.empty());
        EXPECT_TRUE(state.attributes.rows().empty());
        EXPECT_EQ(state.selection.fullDn, "");
        EXPECT_TRUE(state.loadedDns.empty());
        EXPECT_EQ(searchBase(), ORN_NOT_INITIALISED);
    }

    // The child of the node with the label, or null.
    static TreeNode* find(TreeNode* parent, const std::string& label)
    {
        for (const auto& node : parent->children)
            if (node->label == label)
                return node.get();
        return nullptr;
    }
    static Strings labels(const TreeNode* parent)
    {
        Strings out;
        for (const auto& node : parent->children)
            out.push_back(node->label);
        return out;
    }
};
