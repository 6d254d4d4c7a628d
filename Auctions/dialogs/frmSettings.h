#pragma once

#include "BrowserWindow.h"
#include "DialogBackend.h"

#include <QPointer>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class AcctLogin;
class Dialer;
class Dialog;
class MessageBoxSink;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QTabWidget;
class Settings;

// The settings dialog, "Configurations": every user setting on four pages. Nothing reaches the
// settings until Save, which stores every control, raises the settings' Updated, saves the state file
// and closes the window. A value that its slider cannot show (from an edited state file) is shown in its
// caption and kept as it is unless the user moves that slider; a colour is kept unless the user picks
// another. The window only lists the dial-up entries: closing it never touches a dial under way.
class frmSettings : public QWidget
{
    Q_OBJECT
public:
    // `dialer` lists the dial-up entries (none without it); `browsers` makes the account test's hidden
    // window; `save` writes the state file; `colours` runs the colour dialog (Qt's without one).
    frmSettings(Dialer* dialer, BrowserWindow::Factory browsers, std::function<void()> save,
                MessageBoxSink& messageBoxes, std::unique_ptr<DialogBackend> colours = nullptr,
                QWidget* parent = nullptr);
    ~frmSettings() override;

    // Fills every control from `settings`, which the window keeps, and shows the window modeless.
    void View(Settings& settings);
    // The text of the status panel.
    void Status(const QString& text);

    // The caption of each slider for the value `v`, by the slider's name ("sldHotBids", ...).
    static QString sliderCaption(const QString& slider, qint32 v);

private:
    struct SliderField
    {
        QSlider* slider = nullptr;
        QLabel* label = nullptr;
        qint32 Settings::*member = nullptr;
        // A stored value outside the slider's range, kept until the user moves the slider.
        std::optional<qint32> kept;
    };

    QSlider* addSlider(const QString& name, qint32 Settings::*member, int minimum, int maximum, int tick,
                       int page);
    QWidget* sliderBlock(const QString& name);
    void showSlider(SliderField& field, qint32 value);
    qint32 sliderValue(const SliderField& field) const;
    void rewriteCaption(const SliderField& field);
    SliderField* field(const QString& name);
    void FillPhoneEntries();
    void selectPhoneEntry(const QString& key);
    void showColor(int index);
    void lblColor_Click(int index);
    void cmdCheck_Click();
    void cmdCreateDialup_Click();
    void cmdSave_Click();
    void updateCheckButton();
    bool eventFilter(QObject* watched, QEvent* event) override;

    QPointer<Dialer> m_dialer;
    BrowserWindow::Factory m_browsers;
    std::function<void()> m_save;
    MessageBoxSink& m_messageBoxes;
    std::unique_ptr<Dialog> m_dialog;
    QPointer<Settings> m_settings;
    std::unique_ptr<AcctLogin> mLogin;

    QTabWidget* SSTab1;
    QLineEdit* txtUserName;
    QLineEdit* txtPassword;
    QPushButton* cmdCheck;
    QCheckBox* chkMinOnClose;
    QCheckBox* chkForceIE;
    QCheckBox* chkConfirmMoving;
    QCheckBox* chkConfirmBidding;
    QCheckBox* chkConfirmDelete;
    QCheckBox* chkAutoDial;
    QCheckBox* chkSynchClockRed;
    QComboBox* cboPhoneEntry;
    QPushButton* cmdCreateDialup;
    QPushButton* cmdSave;
    QLabel* m_status;
    std::array<QLabel*, 5> lblColor{};
    std::array<qint32, 5> m_colors{};
    std::vector<SliderField> m_sliders;
    // The phone entry to select: the stored one, until the user picks another.
    QString m_phoneEntry;
};
