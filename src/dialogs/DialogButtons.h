#pragma once

#include <utility>

class QPushButton;
class QWidget;

namespace fw {

// The "OK" (default) and "Cancel" buttons every dialog of ours closes with, in that order, named
// btnOK and btnCancel and spoken by their captions.
std::pair<QPushButton*, QPushButton*> MakeOkCancelButtons(QWidget* parent);

} // namespace fw
