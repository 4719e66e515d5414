#include "base/ui/TfraCameraPage.h"

#include "base/ui/DarkStyle.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

TfraCameraPage::TfraCameraPage(QWidget* parent)
    : QWidget(parent)
{ }

QWidget* TfraCameraPage::LayOutPage(QWidget* workArea, QWidget* parameterPanel, QWidget* actionPanel)
{
    auto* column = new QWidget(this);
    column->setObjectName(QStringLiteral("pnlRight"));
    column->setFixedWidth(ColumnWidth);
    DarkStyle::Apply(column, DarkStyle::Control());
    auto* right = new QVBoxLayout(column);
    right->setContentsMargins(0, PanelMargin, PanelMargin, PanelMargin);
    right->setSpacing(PanelMargin);
    right->addWidget(parameterPanel, 1);
    right->addWidget(actionPanel);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(workArea, 1);
    row->addWidget(column);
    return column;
}
