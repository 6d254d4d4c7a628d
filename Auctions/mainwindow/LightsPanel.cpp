#include "LightsPanel.h"

#include "OrvPictures.h"

#include <QHBoxLayout>
#include <QLabel>

LightsPanel::LightsPanel(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("picLights"));
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(0xE0, 0xE0, 0xE0));
    setPalette(colours);
    setFrameShape(QFrame::StyledPanel);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(4, 2, 4, 2);
    row->setSpacing(2);
    for (int i = 0; i < 3; ++i) {
        m_lights[i] = new QLabel(this);
        m_lights[i]->setObjectName(QStringLiteral("imgLight%1").arg(i));
        m_lights[i]->setFixedSize(16, 16);
        row->addWidget(m_lights[i]);
        setLight(i, QStringLiteral("grey"));
    }
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void LightsPanel::setLight(int index, const QString& key)
{
    if (index < 0 || index > 2 || m_keys[index] == key)
        return;
    m_keys[index] = key;
    m_lights[index]->setPixmap(OrvPictures::icon(key).pixmap(16, 16));
}

QString LightsPanel::lightKey(int index) const
{
    return index >= 0 && index <= 2 ? m_keys[index] : QString();
}
