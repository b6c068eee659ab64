// The "Profile Manager" dialog: choose a profile name and one of its user
// details, then edit that line in the lower fields and save it, or delete it.
// The caller runs LoadProfiles before constructing it.
#pragma once

#include "browser/DialogControls.h"
#include "browser/DialogModel.h"

#include <array>
#include <string>

struct ViewState;

class ProfileManagerDialog : public DialogModel {
public:
    enum class Field { Host, BaseDn, Port, ProfileName, UserId };

    static constexpr const char* kPrompt = "----- Please Click Your User Profile----";

    ProfileManagerDialog(Desktop& desktop, ViewState& state);

    static constexpr const char* kResource = "Profile Manager";
    std::string resourceName() const override { return kResource; }

    // The profile-name and user-detail boxes: chosen from their lists or typed in.
    const ChoiceList& names() const { return names_; }
    const ChoiceList& details() const { return details_; }
    void chooseName(int index);
    void typeName(std::string text);
    void chooseDetail(int index);
    void typeDetail(std::string text);

    bool editEnabled() const { return editEnabled_; }
    bool deleteEnabled() const { return deleteEnabled_; }
    bool saveEnabled() const { return saveEnabled_; }

    // The lower fields, enabled by Edit.
    const TextField& field(Field which) const { return fields_[static_cast<std::size_t>(which)]; }
    void setText(Field which, std::string text);

    void edit();
    void save();
    void deleteProfile();

private:
    void enableLower(bool enabled);

    Desktop& desktop_;
    ViewState& state_;
    ChoiceList names_;
    ChoiceList details_;
    std::array<TextField, 5> fields_ {{{{}, false}, {{}, false}, {"0", false}, {{}, false}, {{}, false}}};
    bool editEnabled_ = false;
    bool deleteEnabled_ = false;
    bool saveEnabled_ = false;
};
