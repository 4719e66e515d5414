#pragma once

#include "base/ui/TfraCameraPage.h"

// The remote control page: live view, shooting properties, shooting and time-lapse. For now a dark panel with
// the page's name.
class TfraRemoteControl : public TfraCameraPage
{
    Q_OBJECT

public:
    explicit TfraRemoteControl(QWidget* parent = nullptr);
};
