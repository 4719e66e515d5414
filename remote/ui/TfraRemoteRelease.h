#pragma once

#include "base/ui/TfraCameraPage.h"

// The remote release page: only triggers the shutter. For now a dark panel with the page's name.
class TfraRemoteRelease : public TfraCameraPage
{
    Q_OBJECT

public:
    explicit TfraRemoteRelease(QWidget* parent = nullptr);

    // The page's stop operation; GoStop leads here.
    void OnLeaveModule() { }
    void GoStop() override { OnLeaveModule(); }
};
