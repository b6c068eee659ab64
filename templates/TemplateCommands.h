// The template commands, while Xml Rendering is on: Create XML Template
// from the entry shown, Modify XML Template, and Create Object through a
// template's form.
#pragma once

struct AppContext;

void CreateXmlTemplateCommand(AppContext& context);
void ModifyXmlTemplateCommand(AppContext& context);
void CreateFromTemplateCommand(AppContext& context);
