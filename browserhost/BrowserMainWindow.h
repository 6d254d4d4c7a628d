#pragma once

#include <QList>
#include <QMainWindow>
#include <memory>
#include <vector>

class DeskBand;
class DeskBandFactory;
class QDockWidget;
class QLineEdit;
class QWebEnginePage;
class QWebEngineProfile;
class QWebEngineView;
class WebEngineBrowserHost;

// The browser window: an address bar with back, forward and reload, the page, and one dock per band
// plug-in, shown and hidden from the View menu. A page that opens a new window opens another of these,
// with bands of its own.
class BrowserMainWindow : public QMainWindow
{
    Q_OBJECT
public:
    BrowserMainWindow(QWebEngineProfile* profile, const QList<DeskBandFactory*>& bands,
                      QWidget* parent = nullptr);
    ~BrowserMainWindow() override;

    QWebEnginePage* page() const;
    void open(const QUrl& url);
    // The dock of the band titled `title`; none when no such band was loaded.
    QDockWidget* bandDock(const QString& title) const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    struct Band
    {
        std::unique_ptr<DeskBand> band;
        QDockWidget* dock = nullptr;
    };

    void addBand(DeskBandFactory* factory);
    void closeBands();

    QWebEngineProfile* m_profile;
    QList<DeskBandFactory*> m_factories;
    QWebEngineView* m_view = nullptr;
    QLineEdit* m_address = nullptr;
    WebEngineBrowserHost* m_host = nullptr;
    std::vector<Band> m_bands;
    bool m_closed = false;
};
