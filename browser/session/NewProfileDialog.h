// The "New Profile" dialog: a profile typed in full, saved to OrnIni.ini, and
// the way to a first login. Login and Fetch DN's belong to the login code,
// which plugs them in as function objects; without them the buttons do nothing.
#pragma once

#include "browser/DialogControls.h"
#include "browser/DialogModel.h"
#include "browser/session/ConnectionSecurity.h"

#include <array>
#include <functional>
#include <string>

struct ViewState;

class NewProfileDialog : public DialogModel {
public:
    // ConnectTimeLimit: whole seconds, the last limit taken in this run to begin with.
    enum class Field { Host, Port, ProfileName, UserId, Password, ConnectTimeLimit };

    // Returns true when the login succeeded; the dialog then ends with Ok.
    std::function<bool(NewProfileDialog&)> loginHandler;
    // Fills the Base DN list, typically through setBaseDnItems.
    std::function<void(NewProfileDialog&)> fetchDnsHandler;

    NewProfileDialog(Desktop& desktop, ViewState& state);

    static constexpr const char* kResource = "New Profile";
    std::string resourceName() const override { return kResource; }

    const TextField& field(Field which) const { return fields_[static_cast<std::size_t>(which)]; }
    void setText(Field which, std::string text);

    // The Base DN box: editable, its items come from Fetch DN's.
    const ChoiceList& baseDn() const { return baseDn_; }
    void typeBaseDn(std::string text);
    void chooseBaseDn(int index);
    void setBaseDnItems(std::vector<std::string> items);

    bool anonymous() const { return anonymous_; }
    // Governs only whether User ID and Password can be typed in.
    void toggleAnonymous();

    // How the connection is secured; a port left at the default of one
    // mode follows to the default of the mode chosen.
    const ChoiceList& security() const { return security_; }
    void chooseSecurity(int index);

    // Items "2" and "3".
    const ChoiceList& version() const { return version_; }
    void chooseVersion(int index);
    int ldapVersion() const;

    bool fetchDnsEnabled() const { return fetchDnsEnabled_; }
    // The progress line the Login button shows while it connects.
    const StatusLine& statusLine() const { return status_; }
    StatusLine& statusLine() { return status_; }

    void saveProfile();
    void login();
    void fetchDns();

private:
    TextField& slot(Field which) { return fields_[static_cast<std::size_t>(which)]; }

    Desktop& desktop_;
    ViewState& state_;
    // In the order of Field; User ID and Password wait for Anonymous Binding to be cleared.
    std::array<TextField, 6> fields_ {{{}, {"389"}, {}, {{}, false}, {{}, false}, {}}};
    ChoiceList baseDn_;
    ChoiceList version_ {{"2", "3"}, 1, "3"};
    ChoiceList security_ = SecurityChoice(ConnectionSecurity::Plain);
    bool anonymous_ = true;
    bool fetchDnsEnabled_ = false;
    StatusLine status_;
};
