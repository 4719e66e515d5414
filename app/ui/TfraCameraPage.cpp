#include "app/ui/TfraCameraPage.h"

TfraCameraPage::TfraCameraPage(QWidget* parent)
    : QWidget(parent)
{ }
