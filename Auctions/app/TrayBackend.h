#pragma once

#include <QEvent>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

// The notification area as the model sees it. The widget layer implements it on the desktop's tray;
// tests use a fake. Mouse events on the icon come back to the record's window as a CallbackEvent.
class TrayBackend
{
    Q_GADGET
public:
    // Mouse events on the icon, numbered as the icon's callback reports them.
    enum MouseMessage
    {
        LeftButtonUp = 514,
        LeftDoubleClick = 515,
        RightButtonUp = 517,
        MiddleButtonUp = 520
    };
    Q_ENUM(MouseMessage)

    // What the icon shows and where its mouse events go.
    struct NotifyIconData
    {
        QPointer<QObject> hWnd;
        qint32 uCallbackMessage = 0;
        QString hIcon; // the picture's key: "GREEN", "YELLOW", "RED", "FLAG" or "GREY"
        QString szTip;
    };

    // One entry of a pop-up menu; a caption of "-" is a separator.
    struct MenuEntry
    {
        QString name;
        QString caption;
        bool checked = false;
        bool visible = true;
    };

    // The callback message: lParam carries the mouse event.
    class CallbackEvent : public QEvent
    {
    public:
        CallbackEvent(qint32 uCallbackMessage, qint32 lParam)
            : QEvent(QEvent::Type(uCallbackMessage)), m_lParam(lParam)
        {
        }
        qint32 lParam() const { return m_lParam; }

    private:
        qint32 m_lParam;
    };

    virtual ~TrayBackend() = default;

    // Add, modify and delete the icon. Their success is not looked at: a failure leaves no icon.
    virtual void Add(const NotifyIconData& nid) = 0;
    virtual void Modify(const NotifyIconData& nid) = 0;
    virtual void Delete(const NotifyIconData& nid) = 0;
    // Shows the entries as a pop-up menu at the mouse; a chosen entry is reported by its name.
    virtual void PopupMenu(const QList<MenuEntry>& entries, std::function<void(const QString&)> chosen) = 0;
    // False where the tray reports single clicks only.
    virtual bool reportsDoubleClick() const = 0;
    // False where the desktop has no notification area at all: a hidden program shows no icon there.
    virtual bool isAvailable() const = 0;

protected:
    // Delivers a mouse event to the record's window at once, as the callback message.
    static void notify(const NotifyIconData& nid, qint32 mouseMessage);
};
