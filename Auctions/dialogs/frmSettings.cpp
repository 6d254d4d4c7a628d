#include "frmSettings.h"

#include "AcctLogin.h"
#include "AppLog.h"
#include "Dialer.h"
#include "Dialog.h"
#include "MessageBoxSink.h"
#include "ResumeNext.h"
#include "Settings.h"
#include "cGlobal.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QPushButton>
#include <QSlider>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

Q_LOGGING_CATEGORY(lcSettingsDialog, "orv.dialogs.settings")

const QString noneKey = QStringLiteral("none");

// The settings of the five colour labels, in the order of the labels.
constexpr std::array<qint32 Settings::*, 5> colorSettings{&Settings::ColorComplete, &Settings::ColorWarning,
                                                          &Settings::ColorCaution, &Settings::ColorActive,
                                                          &Settings::AuctionListBackColor};
const std::array<QString, 5> colorTitles{
    QStringLiteral("Auction Completed Color"), QStringLiteral("Auction Nearly Completed Color"),
    QStringLiteral("Auction Completed Today Color"), QStringLiteral("Standard Auction Color"),
    QStringLiteral("Auction List Background Color")};

// A blue-green-red number as a colour; only its low 24 bits can be shown.
QColor colorOf(qint32 bgr)
{
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

QCheckBox* checkBox(const QString& name, const QString& caption, QWidget* parent)
{
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    return box;
}

QGroupBox* frame(const QString& caption, QWidget* content, QWidget* parent)
{
    auto* box = new QGroupBox(caption, parent);
    auto* layout = new QHBoxLayout(box);
    layout->addWidget(content);
    return box;
}

QLabel* note(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    QFont font = label->font();
    font.setItalic(true);
    label->setFont(font);
    return label;
}

} // namespace

QString frmSettings::sliderCaption(const QString& slider, qint32 v)
{
    const QString n = QString::number(v);
    if (slider == QLatin1String("sldDefaultSnipeTime"))
        return QStringLiteral("Default Snipe Time: (") + n + QStringLiteral(" Seconds)");
    if (slider == QLatin1String("sldHotBids"))
        return QStringLiteral("Hot auctions have ") + n + QStringLiteral(" bids");
    if (slider == QLatin1String("sldLocalTimeZone")) {
        // At least two digits; a negative hour keeps its sign.
        const QString hours = v < 0 ? QStringLiteral("-%1").arg(-qint64(v), 2, 10, QLatin1Char('0'))
                                    : QStringLiteral("%1").arg(qint64(v), 2, 10, QLatin1Char('0'));
        return QStringLiteral("Local Time Zone (GMT ") + hours + QStringLiteral(":00)");
    }
    if (slider == QLatin1String("sldMaxUpdates"))
        return QStringLiteral("Max Simultaneous Updates: ") + n + QStringLiteral(" Auctions");
    if (slider == QLatin1String("sldNetCheckSecs"))
        return QStringLiteral("During \"Red Alert Mode\", check internet every ") + n +
               QStringLiteral(" seconds.");
    if (slider == QLatin1String("sldRedModeMins"))
        return QStringLiteral("\"Red Alert Mode\" begins ") + n +
               QStringLiteral(" minutes before Snipes are to be sent");
    if (slider == QLatin1String("sldPrepareSecs"))
        return QStringLiteral("Prepare Auctions ") + n + QStringLiteral(" Seconds Before Bid");
    if (slider == QLatin1String("sldTimeLeftRefresh"))
        return QStringLiteral("Refresh TimeLeft Column every ") + n + QStringLiteral(" seconds");
    if (slider == QLatin1String("sldSynchClockDays"))
        return v < 1 ? QStringLiteral("Do not remind me to update clock")
                     : QStringLiteral("Clock should be updated every ") + n + QStringLiteral(" days");
    if (slider == QLatin1String("sldCheckUpdates"))
        return v < 1 ? QStringLiteral("Do not check for updates")
                     : QStringLiteral("Check for updates every ") + n + QStringLiteral(" days");
    return n;
}

frmSettings::frmSettings(Dialer* dialer, BrowserWindow::Factory browsers, std::function<void()> save,
                         MessageBoxSink& messageBoxes, std::unique_ptr<DialogBackend> colours,
                         QWidget* parent)
    : QWidget(parent, Qt::Window), m_dialer(dialer), m_browsers(std::move(browsers)), m_save(std::move(save)),
      m_messageBoxes(messageBoxes), m_dialog(std::make_unique<Dialog>(std::move(colours)))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Configurations"));

    // The sliders in the order of their pages.
    m_sliders.reserve(10);
    addSlider(QStringLiteral("sldSynchClockDays"), &Settings::AutoSyncDays, 0, 15, 1, 1);
    addSlider(QStringLiteral("sldCheckUpdates"), &Settings::CheckForUpdates, 0, 15, 1, 1);
    addSlider(QStringLiteral("sldTimeLeftRefresh"), &Settings::TimeLeftRefresh, 1, 30, 1, 5);
    addSlider(QStringLiteral("sldHotBids"), &Settings::HotBids, 1, 100, 5, 5);
    addSlider(QStringLiteral("sldLocalTimeZone"), &Settings::LocalTimeZone, -12, 12, 1, 5);
    addSlider(QStringLiteral("sldPrepareSecs"), &Settings::PrepareSeconds, 30, 300, 15, 15);
    addSlider(QStringLiteral("sldDefaultSnipeTime"), &Settings::DefaultSnipeTime, 1, 120, 5, 5);
    addSlider(QStringLiteral("sldMaxUpdates"), &Settings::MaxAucUpdates, 1, 15, 1, 1);
    addSlider(QStringLiteral("sldRedModeMins"), &Settings::RedMinutes, 1, 30, 1, 5);
    addSlider(QStringLiteral("sldNetCheckSecs"), &Settings::CheckNetSeconds, 5, 30, 1, 5);

    SSTab1 = new QTabWidget(this);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));

    // General
    auto* general = new QWidget(SSTab1);
    txtUserName = new QLineEdit(general);
    txtUserName->setObjectName(QStringLiteral("txtUserName"));
    txtPassword = new QLineEdit(general);
    txtPassword->setObjectName(QStringLiteral("txtPassword"));
    txtPassword->setEchoMode(QLineEdit::Password);
    txtPassword->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    cmdCheck = new QPushButton(QStringLiteral("Check eBay Account"), general);
    cmdCheck->setObjectName(QStringLiteral("cmdCheck"));
    chkMinOnClose = checkBox(QStringLiteral("chkMinOnClose"),
                             QStringLiteral("Minimize to Tray when Auction Window Closes"), general);
    auto* account = new QGridLayout;
    account->addWidget(frame(QStringLiteral("eBay Username"), txtUserName, general), 0, 0);
    account->addWidget(frame(QStringLiteral("eBay Password"), txtPassword, general), 0, 1);
    account->addWidget(cmdCheck, 1, 1, Qt::AlignRight);
    auto* generalLayout = new QVBoxLayout(general);
    generalLayout->addLayout(account);
    generalLayout->addWidget(sliderBlock(QStringLiteral("sldSynchClockDays")));
    generalLayout->addWidget(sliderBlock(QStringLiteral("sldCheckUpdates")));
    generalLayout->addWidget(chkMinOnClose);
    generalLayout->addStretch();
    SSTab1->addTab(general, QStringLiteral("General"));

    // Display
    auto* display = new QWidget(SSTab1);
    auto* displayLayout = new QVBoxLayout(display);
    displayLayout->addWidget(sliderBlock(QStringLiteral("sldTimeLeftRefresh")));
    displayLayout->addWidget(
        note(QStringLiteral("This is for appearance and  does not affect Sniping"), display));
    displayLayout->addWidget(sliderBlock(QStringLiteral("sldHotBids")));
    displayLayout->addWidget(sliderBlock(QStringLiteral("sldLocalTimeZone")));
    displayLayout->addWidget(note(QStringLiteral("This does not affect Time Left or Sniping"), display));
    auto* colourGrid = new QGridLayout;
    for (int i = 0; i < int(lblColor.size()); ++i) {
        auto* swatch = new QLabel(display);
        swatch->setObjectName(QStringLiteral("lblColor_%1").arg(i));
        swatch->setFrameShape(QFrame::Box);
        swatch->setMinimumSize(48, 20);
        swatch->setAutoFillBackground(true);
        swatch->setCursor(Qt::PointingHandCursor);
        swatch->installEventFilter(this);
        lblColor[i] = swatch;
        auto* title = new QLabel(colorTitles[i], display);
        title->setObjectName(QStringLiteral("lblColorTitle_%1").arg(i));
        colourGrid->addWidget(swatch, i, 0);
        colourGrid->addWidget(title, i, 1);
    }
    colourGrid->setColumnStretch(1, 1);
    displayLayout->addLayout(colourGrid);
    displayLayout->addStretch();
    SSTab1->addTab(display, QStringLiteral("Display"));

    // Options
    auto* options = new QWidget(SSTab1);
    chkForceIE = checkBox(QStringLiteral("chkForceIE"),
                          QStringLiteral("View Auctions only with Internet Explorer"), options);
    chkConfirmMoving =
        checkBox(QStringLiteral("chkConfirmMoving"), QStringLiteral("Confirm Auction Moving"), options);
    chkConfirmBidding =
        checkBox(QStringLiteral("chkConfirmBidding"), QStringLiteral("Confirm Manual Bidding"), options);
    chkConfirmDelete =
        checkBox(QStringLiteral("chkConfirmDelete"), QStringLiteral("Confirm Delete Requests"), options);
    auto* optionsLayout = new QVBoxLayout(options);
    optionsLayout->addWidget(sliderBlock(QStringLiteral("sldPrepareSecs")));
    optionsLayout->addWidget(sliderBlock(QStringLiteral("sldDefaultSnipeTime")));
    optionsLayout->addWidget(sliderBlock(QStringLiteral("sldMaxUpdates")));
    for (QCheckBox* box : {chkForceIE, chkConfirmMoving, chkConfirmBidding, chkConfirmDelete})
        optionsLayout->addWidget(box);
    optionsLayout->addStretch();
    SSTab1->addTab(options, QStringLiteral("Options"));

    // Red Mode
    auto* red = new QWidget(SSTab1);
    cboPhoneEntry = new QComboBox(red);
    cboPhoneEntry->setObjectName(QStringLiteral("cboPhoneEntry"));
    cmdCreateDialup = new QPushButton(QStringLiteral("Create New..."), red);
    cmdCreateDialup->setObjectName(QStringLiteral("cmdCreateDialup"));
    auto* dialup = new QGroupBox(QStringLiteral("Connect with this Dialup Account"), red);
    auto* dialupLayout = new QHBoxLayout(dialup);
    dialupLayout->addWidget(cboPhoneEntry, 1);
    dialupLayout->addWidget(cmdCreateDialup);
    chkAutoDial = checkBox(QStringLiteral("chkAutoDial"),
                           QStringLiteral("Connect to Internet during \"Red Alert Mode\""), red);
    chkSynchClockRed = checkBox(QStringLiteral("chkSynchClockRed"),
                                QStringLiteral("Synchronize Clock when \"Red Mode\" begins."), red);
    auto* redLayout = new QVBoxLayout(red);
    redLayout->addWidget(sliderBlock(QStringLiteral("sldRedModeMins")));
    redLayout->addWidget(dialup);
    redLayout->addWidget(sliderBlock(QStringLiteral("sldNetCheckSecs")));
    redLayout->addWidget(chkAutoDial);
    redLayout->addWidget(chkSynchClockRed);
    redLayout->addStretch();
    SSTab1->addTab(red, QStringLiteral("Red Mode"));

    cmdSave = new QPushButton(QStringLiteral("Save Configurations"), this);
    cmdSave->setObjectName(QStringLiteral("cmdSave"));
    auto* sbStatus = new QStatusBar(this);
    sbStatus->setObjectName(QStringLiteral("sbStatus"));
    sbStatus->setSizeGripEnabled(false);
    m_status = new QLabel(sbStatus);
    m_status->setObjectName(QStringLiteral("status"));
    sbStatus->addWidget(m_status, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(SSTab1);
    layout->addWidget(cmdSave, 0, Qt::AlignRight);
    layout->addWidget(sbStatus);

    connect(txtUserName, &QLineEdit::textChanged, this, &frmSettings::updateCheckButton);
    connect(txtPassword, &QLineEdit::textChanged, this, &frmSettings::updateCheckButton);
    connect(cmdCheck, &QPushButton::clicked, this, &frmSettings::cmdCheck_Click);
    connect(cmdCreateDialup, &QPushButton::clicked, this, &frmSettings::cmdCreateDialup_Click);
    connect(cmdSave, &QPushButton::clicked, this, &frmSettings::cmdSave_Click);
    connect(cboPhoneEntry, &QComboBox::activated, this,
            [this](int index) { m_phoneEntry = cboPhoneEntry->itemData(index).toString(); });
    // Only listening: the dialer belongs to the connection watch, and a dial it runs goes on.
    if (m_dialer)
        connect(m_dialer, &Dialer::EntriesChanged, this, &frmSettings::FillPhoneEntries);
    updateCheckButton();
}

frmSettings::~frmSettings() = default;

QSlider* frmSettings::addSlider(const QString& name, qint32 Settings::*member, int minimum, int maximum,
                                int tick, int page)
{
    auto* slider = new QSlider(Qt::Horizontal, this);
    slider->setObjectName(name);
    slider->setRange(minimum, maximum);
    slider->setSingleStep(1);
    slider->setPageStep(page);
    slider->setTickInterval(tick);
    slider->setTickPosition(QSlider::TicksBelow);
    auto* label = new QLabel(this);
    label->setObjectName(QStringLiteral("lbl") + name.mid(3));
    m_sliders.push_back({slider, label, member, std::nullopt});
    // Any move by the user, even one that leaves the value where it stood, gives up a kept value.
    connect(slider, &QSlider::actionTriggered, this, [this, name] {
        if (SliderField* f = field(name)) {
            f->kept.reset();
            rewriteCaption(*f);
        }
    });
    connect(slider, &QSlider::valueChanged, this, [this, name] {
        if (SliderField* f = field(name))
            rewriteCaption(*f);
    });
    return slider;
}

QWidget* frmSettings::sliderBlock(const QString& name)
{
    SliderField* f = field(name);
    auto* block = new QWidget(this);
    auto* layout = new QVBoxLayout(block);
    layout->setContentsMargins(0, 4, 0, 4);
    layout->addWidget(f->label);
    layout->addWidget(f->slider);
    return block;
}

frmSettings::SliderField* frmSettings::field(const QString& name)
{
    for (SliderField& f : m_sliders) {
        if (f.slider->objectName() == name)
            return &f;
    }
    return nullptr;
}

void frmSettings::showSlider(SliderField& f, qint32 value)
{
    const bool shown = value >= f.slider->minimum() && value <= f.slider->maximum();
    f.kept = shown ? std::nullopt : std::optional<qint32>(value);
    const QSignalBlocker blocker(f.slider);
    f.slider->setValue(value);
}

qint32 frmSettings::sliderValue(const SliderField& f) const
{
    return f.kept.value_or(f.slider->value());
}

void frmSettings::rewriteCaption(const SliderField& f)
{
    f.label->setText(sliderCaption(f.slider->objectName(), sliderValue(f)));
}

void frmSettings::View(Settings& settings)
{
    m_settings = &settings;
    cGlobal::AlwaysOnTop(this, settings.AlwaysOnTop);
    m_phoneEntry = settings.PhoneEntry;
    FillPhoneEntries();

    chkAutoDial->setChecked(settings.ConnectOnRed);
    chkConfirmBidding->setChecked(settings.ConfirmBid);
    chkConfirmDelete->setChecked(settings.ConfirmDel);
    chkConfirmMoving->setChecked(settings.ConfirmMove);
    chkSynchClockRed->setChecked(settings.SyncClockRed);
    chkMinOnClose->setChecked(settings.MinOnClose);
    chkForceIE->setChecked(settings.ForceIE);
    for (SliderField& f : m_sliders)
        showSlider(f, settings.*(f.member));
    txtUserName->setText(settings.Username);
    txtPassword->setText(settings.Password);
    for (int i = 0; i < int(lblColor.size()); ++i) {
        m_colors[i] = settings.*colorSettings[i];
        showColor(i);
    }
    for (const SliderField& f : m_sliders)
        rewriteCaption(f);
    updateCheckButton();

    show();
    cGlobal::fnShowWindow(this);
}

void frmSettings::Status(const QString& text)
{
    m_status->setText(text);
}

void frmSettings::FillPhoneEntries()
{
    const QIcon network =
        QIcon::fromTheme(QStringLiteral("network-wired"), style()->standardIcon(QStyle::SP_DriveNetIcon));
    const QIcon phone =
        QIcon::fromTheme(QStringLiteral("modem"), style()->standardIcon(QStyle::SP_ComputerIcon));
    cboPhoneEntry->clear();
    cboPhoneEntry->addItem(network, QStringLiteral("Dedicated Internet"), noneKey);
    if (m_dialer) {
        for (const QString& name : m_dialer->entries())
            cboPhoneEntry->addItem(phone, name, name);
    }
    selectPhoneEntry(m_phoneEntry);
}

void frmSettings::selectPhoneEntry(const QString& key)
{
    // No item is selected when none has the key (an entry no longer in the list, or none stored).
    cboPhoneEntry->setCurrentIndex(key.isEmpty() ? -1 : cboPhoneEntry->findData(key));
}

void frmSettings::showColor(int index)
{
    QLabel* swatch = lblColor[index];
    QPalette palette = swatch->palette();
    palette.setColor(QPalette::Window, colorOf(m_colors[index]));
    swatch->setPalette(palette);
}

bool frmSettings::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        for (int i = 0; i < int(lblColor.size()); ++i) {
            if (watched == lblColor[i]) {
                lblColor_Click(i);
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmSettings::lblColor_Click(int index)
{
    Dialog::ChooseColorArguments choice{.Color = 0, .AnyColor = true, .Owner = this};
    if (!m_dialog->VBChooseColor(choice))
        return;
    m_colors[index] = choice.Color;
    showColor(index);
}

void frmSettings::updateCheckButton()
{
    cmdCheck->setEnabled(!txtUserName->text().isEmpty() && !txtPassword->text().isEmpty());
}

void frmSettings::cmdCheck_Click()
{
    // A new test replaces the earlier one, whose window goes with it.
    mLogin = std::make_unique<AcctLogin>(m_browsers);
    connect(mLogin.get(), &AcctLogin::StatusChange, this, &frmSettings::Status);
    mLogin->Login(txtUserName->text(), txtPassword->text());
}

void frmSettings::cmdCreateDialup_Click()
{
    // The editor runs on its own; the list follows when the dialer lists the new entry.
    if (!m_dialer || !m_dialer->CreateEntry())
        Status(QStringLiteral("No editor for dial-up connections is installed."));
    FillPhoneEntries();
}

void frmSettings::cmdSave_Click()
{
    if (!m_settings)
        return;
    const bool selected = cboPhoneEntry->currentIndex() >= 0;
    if (chkAutoDial->isChecked() && !selected) {
        m_messageBoxes.show(
            MessageBoxSink::Information, QStringLiteral("Validation Failed"),
            QStringLiteral("You must select a dialup account if you want to connect to the internet "
                           "during Red Mode"));
        return;
    }
    Settings& s = *m_settings;
    const auto slider = [this](const char* name) { return sliderValue(*field(QString::fromLatin1(name))); };
    // Without a selection the stored entry stays, so that saving an unchanged window changes nothing.
    if (selected)
        s.PhoneEntry = cboPhoneEntry->currentData().toString();
    s.ConnectOnRed = chkAutoDial->isChecked();
    s.ConfirmBid = chkConfirmBidding->isChecked();
    s.ConfirmDel = chkConfirmDelete->isChecked();
    s.ConfirmMove = chkConfirmMoving->isChecked();
    s.SyncClockRed = chkSynchClockRed->isChecked();
    s.DefaultSnipeTime = slider("sldDefaultSnipeTime");
    s.HotBids = slider("sldHotBids");
    s.LocalTimeZone = slider("sldLocalTimeZone");
    s.MaxAucUpdates = slider("sldMaxUpdates");
    s.PrepareSeconds = slider("sldPrepareSecs");
    s.CheckNetSeconds = slider("sldNetCheckSecs");
    s.RedMinutes = slider("sldRedModeMins");
    s.TimeLeftRefresh = slider("sldTimeLeftRefresh");
    s.Password = txtPassword->text();
    s.Username = txtUserName->text();
    s.AutoSyncDays = slider("sldSynchClockDays");
    s.CheckForUpdates = slider("sldCheckUpdates");
    s.MinOnClose = chkMinOnClose->isChecked();
    s.ForceIE = chkForceIE->isChecked();
    for (int i = 0; i < int(lblColor.size()); ++i)
        s.*colorSettings[i] = m_colors[i];

    if (!resumeNext(lcApp, [&] { s.raiseUpdated(); }))
        qCWarning(lcSettingsDialog) << "A listener of the settings failed on their change.";
    if (m_save && !resumeNext(lcApp, [&] { m_save(); }))
        qCWarning(lcSettingsDialog) << "The state file was not saved after the settings changed.";
    close();
}
