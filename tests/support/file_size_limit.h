#pragma once
// While alive, files this process writes are cut off after `bytes` bytes (the
// write fails with "file too large"), for root as for anyone: a dependable way
// to make a save fail part-way.

#include <csignal>
#include <sys/resource.h>

class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit tight = saved_;
        tight.rlim_cur = bytes;
        active_ = setrlimit(RLIMIT_FSIZE, &tight) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previous_);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

    bool active() const { return active_; }

private:
    struct rlimit saved_
    { };
    void (*previous_)(int) = nullptr;
    bool active_ = false;
};
