// The Qt dialog for a core dialog model, picked by the model's resource name.
#pragma once

#include <memory>

class DialogModel;
class QDialog;
class QWidget;

// Null for a model the shell has no dialog for.
std::unique_ptr<QDialog> CreateDialogView(DialogModel& model, QWidget* parent);
