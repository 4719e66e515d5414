#pragma once

#include "base/ui/TTranslationForm.h"

#include <QString>
#include <QUrl>

#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QWidget;
class TSettingsNetworkPage;
class TSetup;

// The settings dialog: edits the persistent settings of TSetup on three pages. Every showing starts
// from the stored values; only "Übernehmen" writes them back. Choosing a language previews it at once,
// "Schließen" returns to the stored one.
class TfrmSettings : public TTranslationForm
{
    Q_OBJECT

public:
    // The address of the camera's own access point.
    static constexpr const char* FactoryCameraIP = "192.168.0.10";
    static constexpr quint16 DefaultLiveViewPort = 28488; // the same in TLiveViewPortsBox

    explicit TfrmSettings(TSetup* setup, QWidget* parent = nullptr);
    ~TfrmSettings() override;

    // The product's web page in German for the German user interface, in English otherwise.
    static QUrl WebPage(quint32 languageId);

    // Seams for tests; by default a message box, the system browser and the folder chooser.
    std::function<void(QWidget* parent, const QString& text)> ShowError;
    std::function<bool(const QUrl& url)> OpenUrl;
    std::function<QString(QWidget* parent, const QString& title, const QString& folder)> ChooseFolder;

    // The buttons' handlers.
    void btnWriteClick();
    void btnCancelClick();
    void btnUpdateClick();
    void btnDownloadDirClick();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QWidget* createGeneralPage();
    QWidget* createUpdatePage();
    void addPage(QWidget* page, const QString& name, const QString& caption);
    void undoLanguagePreview();
    void fillLanguages();
    void loadFromSetup();
    void updateVersion();
    void cbxLanguageChange(int index);
    quint32 selectedLanguageId() const;
    bool storeReachedSettings() const;

    TSetup* m_setup;
    quint32 m_languageAtShow = 0;

    QTabWidget* m_pages = nullptr;
    QLineEdit* edtDownloadDir = nullptr;
    QPushButton* btnDownloadDir = nullptr;
    QCheckBox* chbSyncDateTime = nullptr;
    QCheckBox* chbSaveFilter = nullptr;
    QCheckBox* chbUseInternalImageViewer = nullptr;
    QCheckBox* chbLiveViewThreaded = nullptr;
    QComboBox* cbxLanguage = nullptr;
    TSettingsNetworkPage* m_network = nullptr;
    QPushButton* btnUpdate = nullptr;
    QLabel* lblVersion = nullptr;
    QPushButton* btnWrite = nullptr;
    QPushButton* btnCancel = nullptr;
};
