#include "liveview/ui/TLiveViewDebugMonitor.h"

#include "base/TLogger.h"

#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>

TLiveViewDebugMonitor::TLiveViewDebugMonitor(QWidget* parent)
    : QWidget(parent)
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    memChanges = new QPlainTextEdit(this);
    memChanges->setObjectName(QStringLiteral("memChanges"));
    memChanges->setReadOnly(true);
    memChanges->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    btnAssignChanges = new QPushButton(QStringLiteral(">"), this);
    btnAssignChanges->setObjectName(QStringLiteral("btnAssignChanges"));
    row->addWidget(memChanges, 1);
    row->addWidget(btnAssignChanges, 0, Qt::AlignTop);
    connect(btnAssignChanges, &QPushButton::clicked, this, [this] { AssignChanges(m_tempDir); });
}

QString TLiveViewDebugMonitor::ComparisonText(const QString& dump, const QString& baseline)
{
    QString marked = dump;
    for (qsizetype i = 0; i < marked.size() && i < baseline.size(); ++i)
        if (marked[i] == baseline[i])
            marked[i] = QLatin1Char('_');
    QString text;
    constexpr int kGroup = 8;
    constexpr int kGroupsPerLine = 5;
    int line = 0;
    for (qsizetype at = 0; at < marked.size(); at += kGroup * kGroupsPerLine, ++line) {
        QStringList groups;
        for (int g = 0; g < kGroupsPerLine && at + g * kGroup < marked.size(); ++g)
            groups << marked.mid(at + g * kGroup, kGroup);
        text += groups.join(QLatin1Char(' '))
            + QString::asprintf(" %.3d - %.3d ", line * 20 + 1, line * 20 + 20) + QStringLiteral("\r\n");
    }
    return text;
}

void TLiveViewDebugMonitor::ShowDump(const QString& hexDump)
{
    if (m_baseline.isEmpty()) {
        m_baseline = hexDump;
        return;
    }
    if (hexDump != m_baseline)
        memChanges->setPlainText(ComparisonText(hexDump, m_baseline));
}

void TLiveViewDebugMonitor::AssignChanges(const QString& folder)
{
    const QString fileName = QDir(folder).filePath(QStringLiteral("LM.log"));
    QByteArray content;
    QFile file(fileName);
    if (file.exists() && file.open(QIODevice::ReadOnly)) {
        content = file.readAll();
        file.close();
    }
    content += m_baseline.toLatin1() + "\r\n";
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(content);
    else
        TLogger::LogAlways(
            QStringLiteral("TfraLiveView.btnAssignChanges: %1 couldn't be written").arg(fileName));
    m_baseline.clear();
}
