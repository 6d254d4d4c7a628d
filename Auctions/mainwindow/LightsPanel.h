#pragma once

#include <QFrame>
#include <QString>

class QLabel;

// The three status lights of the list's toolbar on their light grey panel: light 0 green, 1 yellow,
// 2 red, each grey when off.
class LightsPanel : public QFrame
{
    Q_OBJECT
public:
    explicit LightsPanel(QWidget* parent = nullptr);

    // Shows the picture `key` ("grey", "green", "yellow" or "red") in light `index` (0 to 2).
    void setLight(int index, const QString& key);
    QString lightKey(int index) const;

private:
    QLabel* m_lights[3];
    QString m_keys[3];
};
