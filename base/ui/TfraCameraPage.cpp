#include "base/ui/TfraCameraPage.h"

TfraCameraPage::TfraCameraPage(QWidget* parent)
    : QWidget(parent)
{ }
