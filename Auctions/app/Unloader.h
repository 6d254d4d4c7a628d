#pragma once

#include <QObject>

// Shut-down negotiation: before the program ends, every listener may refuse by setting Available to
// false while Unloading is raised. Each question starts afresh.
class Unloader : public QObject
{
    Q_OBJECT
public:
    explicit Unloader(QObject* parent = nullptr);

    // The question: resets the flag to true, lets every listener veto, and answers with the flag.
    bool Available();
    void setAvailable(bool value) { m_available = value; }
    // Tells the listeners that the program is going away now.
    void UnloadingNow();

Q_SIGNALS:
    // bValue is true only from UnloadingNow; a listener answers through setAvailable, not through bValue.
    void Unloading(bool bValue);

private:
    bool m_available = false;
};
