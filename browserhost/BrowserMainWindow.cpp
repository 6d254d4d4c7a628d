#include "BrowserMainWindow.h"

#include "DeskBand.h"
#include "WebEngineBrowserHost.h"

#include <QAction>
#include <QCloseEvent>
#include <QDockWidget>
#include <QLineEdit>
#include <QMenuBar>
#include <QToolBar>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>

namespace {

// A page that opens the windows its scripts and links ask for as further browser windows.
class BrowserPage : public QWebEnginePage
{
public:
    BrowserPage(QWebEngineProfile* profile, const QList<DeskBandFactory*>& bands, QObject* parent)
        : QWebEnginePage(profile, parent), m_bands(bands)
    {
    }

protected:
    QWebEnginePage* createWindow(WebWindowType) override
    {
        auto* window = new BrowserMainWindow(profile(), m_bands);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->show();
        return window->page();
    }

private:
    QList<DeskBandFactory*> m_bands;
};

} // namespace

BrowserMainWindow::BrowserMainWindow(QWebEngineProfile* profile, const QList<DeskBandFactory*>& bands,
                                     QWidget* parent)
    : QMainWindow(parent), m_profile(profile), m_factories(bands)
{
    setWindowTitle(QStringLiteral("Auction Orv Browser"));
    resize(1100, 750);
    m_view = new QWebEngineView(this);
    m_view->setPage(new BrowserPage(profile, bands, m_view));
    setCentralWidget(m_view);
    m_host = new WebEngineBrowserHost(m_view->page(), this);

    QToolBar* navigation = addToolBar(QStringLiteral("Navigation"));
    navigation->setObjectName(QStringLiteral("navigation"));
    navigation->setMovable(false);
    navigation->addAction(m_view->pageAction(QWebEnginePage::Back));
    navigation->addAction(m_view->pageAction(QWebEnginePage::Forward));
    navigation->addAction(m_view->pageAction(QWebEnginePage::Reload));
    m_address = new QLineEdit(navigation);
    m_address->setObjectName(QStringLiteral("address"));
    m_address->setClearButtonEnabled(true);
    navigation->addWidget(m_address);
    connect(m_address, &QLineEdit::returnPressed, this,
            [this] { open(QUrl::fromUserInput(m_address->text().trimmed())); });
    connect(m_view, &QWebEngineView::urlChanged, this,
            [this](const QUrl& url) { m_address->setText(url.toDisplayString()); });
    connect(m_view, &QWebEngineView::titleChanged, this, [this](const QString& title) {
        setWindowTitle(title.isEmpty() ? QStringLiteral("Auction Orv Browser") : title);
    });

    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(QStringLiteral("&Close"), QKeySequence::Close, this, &QWidget::close);
    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("viewMenu"));
    for (DeskBandFactory* factory : bands)
        addBand(factory);
    for (const Band& band : m_bands)
        view->addAction(band.dock->toggleViewAction());
}

BrowserMainWindow::~BrowserMainWindow()
{
    closeBands();
}

QWebEnginePage* BrowserMainWindow::page() const
{
    return m_view->page();
}

void BrowserMainWindow::open(const QUrl& url)
{
    if (url.isValid())
        m_view->load(url);
}

QDockWidget* BrowserMainWindow::bandDock(const QString& title) const
{
    for (const Band& band : m_bands) {
        if (band.dock->windowTitle() == title)
            return band.dock;
    }
    return nullptr;
}

void BrowserMainWindow::addBand(DeskBandFactory* factory)
{
    Band entry;
    entry.band = factory->createBand();
    if (!entry.band)
        return;
    DeskBand* band = entry.band.get();
    band->setSite(m_host);
    entry.dock = new QDockWidget(band->title(), this);
    entry.dock->setObjectName(band->title());
    entry.dock->setMinimumSize(band->minimumSize());
    entry.dock->setWidget(band->window());
    entry.dock->hide();
    addDockWidget(Qt::LeftDockWidgetArea, entry.dock);
    // The user's toggle binds and unbinds; tabbing docks or minimising the window does neither.
    QAction* toggle = entry.dock->toggleViewAction();
    toggle->setText(band->title());
    connect(toggle, &QAction::toggled, this, [this, band](bool shown) {
        if (m_closed)
            return;
        band->show(shown);
        if (shown)
            band->activate(true);
    });
    m_bands.push_back(std::move(entry));
}

void BrowserMainWindow::closeEvent(QCloseEvent* event)
{
    closeBands();
    QMainWindow::closeEvent(event);
}

void BrowserMainWindow::closeBands()
{
    if (m_closed)
        return;
    m_closed = true;
    for (Band& band : m_bands)
        band.band->close();
}
