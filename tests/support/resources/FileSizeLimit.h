#pragma once

#include <csignal>
#include <sys/resource.h>

// Caps the size of files this process writes while it lives, so that a write breaks off half-way as on
// a full disk (it also works as root, where permissions do not stop a write).
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &m_saved);
        m_previousHandler = ::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limited = m_saved;
        limited.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_saved);
        ::signal(SIGXFSZ, m_previousHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    struct rlimit m_saved = {};
    void (*m_previousHandler)(int) = nullptr;
};
