// "Class Details" and "Attribute Details": one record of the schema lists,
// read-only. A name the lists do not hold shows empty fields.
#pragma once

#include "browser/DialogModel.h"
#include "tools/schema/SchemaModel.h"

#include <string>
#include <vector>

// Shown in place of a description when the definition has no "DESC".
inline constexpr const char* kNoDescription = "No Description found";

class ClassDetailsDialog final : public DialogModel {
public:
    ClassDetailsDialog(const ObjectClassList& classes, const std::string& name);

    static constexpr const char* kResource = "Class Details";
    std::string resourceName() const override { return kResource; }

    const std::string& name() const { return name_; }
    const std::string& oid() const { return oid_; }
    const std::string& description() const { return description_; }
    // One row per name; an empty field gives one empty row.
    const std::vector<std::string>& superiors() const { return superiors_; }
    const std::vector<std::string>& mandatory() const { return mandatory_; }
    const std::vector<std::string>& optional() const { return optional_; }

    void close() { end(DialogResult::Ok); }

private:
    std::string name_, oid_, description_;
    std::vector<std::string> superiors_, mandatory_, optional_;
};

class AttributeDetailsDialog final : public DialogModel {
public:
    AttributeDetailsDialog(const AttributeTypeList& types, const std::string& name);

    static constexpr const char* kResource = "Attribute Details";
    std::string resourceName() const override { return kResource; }

    const std::string& name() const { return name_; }
    const std::string& oid() const { return oid_; }
    const std::string& syntax() const { return syntax_; }
    const std::string& description() const { return description_; }

    void close() { end(DialogResult::Ok); }

private:
    std::string name_, oid_, syntax_, description_;
};
