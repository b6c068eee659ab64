// What Create Object asks the user for: the MUST names gathered up a class's
// SUP chain, or, when the chain needs only objectClass, one optional name.
#pragma once

#include "tools/schema/SchemaModel.h"

#include <string>
#include <string_view>
#include <vector>

// The MUST names of the class and of each class above it, following only
// the last superior a class names, objectClass left out: each name once
// (ignoring case), sorted as a list box sorts them. The walk stops at an
// unknown class and at one already visited, so a SUP loop cannot hang it.
std::vector<std::string> CollectMandatoryNames(const ObjectClassList& classes, std::string_view className);

// The first MAY name of the class that is not aci; empty when there is none.
std::string FirstOptionalName(const ObjectClassRecord& record);

// The pieces of a "$"-joined field, empty ones left out.
std::vector<std::string> SplitNames(std::string_view joined);
