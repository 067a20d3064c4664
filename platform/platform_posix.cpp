// The platform's calls on POSIX systems: descriptors, stat, and std::thread with the signals
// held around its start where asked.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

#include "platform/platform.h"

struct Worker {
    std::mutex mutex;
    std::condition_variable changed;
    void (*job)(void*) = nullptr;  // the job handed and not yet done
    void* argument = nullptr;
    bool ending = false;
    std::exception_ptr thrown;  // by the last job, thrown again by the next wait
    std::thread thread;

    void run() {
        std::unique_lock<std::mutex> hold(mutex);
        for (;;) {
            changed.wait(hold, [this] { return job || ending; });
            if (!job) {
                return;
            }
            hold.unlock();
            try {
                job(argument);
            } catch (...) {
                thrown = std::current_exception();
            }
            hold.lock();
            job = nullptr;
            changed.notify_all();
        }
    }
};

namespace {

std::size_t atMostInt(std::size_t size) {
    return size < INT_MAX ? size : INT_MAX;
}

void waitIdle(Worker& worker, std::unique_lock<std::mutex>& hold) {
    worker.changed.wait(hold, [&worker] { return !worker.job; });
}

const Platform kPosix = {
    [](const std::string& path) { return open(path.c_str(), O_RDONLY | O_CLOEXEC); },
    [](int descriptor, char* buffer, std::size_t size) -> long {
        for (;;) {
            const long count = ::read(descriptor, buffer, atMostInt(size));
            if (count >= 0 || errno != EINTR) {
                return count;
            }
        }
    },
    [](int descriptor, char* buffer, std::size_t size, long long offset) -> long {
        for (;;) {
            const long count =
                pread(descriptor, buffer, atMostInt(size), static_cast<off_t>(offset));
            if (count >= 0 || errno != EINTR) {
                return count;
            }
        }
    },
    [](int descriptor) -> long long {
        struct stat status;
        return fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode) ? status.st_size : -1;
    },
    [](int descriptor) { ::close(descriptor); },
    [](const std::string& one, const std::string& other) {
        struct stat first;
        struct stat second;
        return stat(one.c_str(), &first) == 0 && stat(other.c_str(), &second) == 0 &&
               first.st_dev == second.st_dev && first.st_ino == second.st_ino;
    },
    [](const std::string& path) {
        struct stat status;
        return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
    },
    [](const std::string& path, const char* bytes, std::size_t size) {
        const int descriptor = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (descriptor < 0) {
            return errno;
        }
        int error = 0;
        while (size > 0 && error == 0) {
            const long count = ::write(descriptor, bytes, atMostInt(size));
            if (count > 0) {
                bytes += count;
                size -= static_cast<std::size_t>(count);
            } else if (count == 0) {
                error = ENOSPC;  // nothing taken: it would take nothing again
            } else if (errno != EINTR) {
                error = errno;
            }
        }
        if (::close(descriptor) != 0 && error == 0) {
            error = errno;
        }
        return error;
    },
    [](bool holdSignals) -> Worker* {
        auto worker = std::make_unique<Worker>();
        sigset_t all;
        sigset_t before;
        sigfillset(&all);
        if (holdSignals) {
            pthread_sigmask(SIG_BLOCK, &all, &before);
        }
        // The mask is put back whatever the start does; memory running out is thrown on.
        std::exception_ptr thrown;
        try {
            worker->thread = std::thread(&Worker::run, worker.get());
        } catch (const std::system_error&) {
            worker.reset();  // no thread to be had: the caller goes on without one
        } catch (...) {
            thrown = std::current_exception();
        }
        if (holdSignals) {
            pthread_sigmask(SIG_SETMASK, &before, nullptr);
        }
        if (thrown) {
            std::rethrow_exception(thrown);
        }
        return worker.release();
    },
    [](Worker* worker, void (*job)(void*), void* argument) {
        {
            std::unique_lock<std::mutex> hold(worker->mutex);
            waitIdle(*worker, hold);
            worker->job = job;
            worker->argument = argument;
        }
        worker->changed.notify_all();
    },
    [](Worker* worker) {
        std::unique_lock<std::mutex> hold(worker->mutex);
        waitIdle(*worker, hold);
        if (worker->thrown) {
            std::rethrow_exception(std::exchange(worker->thrown, nullptr));
        }
    },
    [](Worker* worker) {
        {
            std::unique_lock<std::mutex> hold(worker->mutex);
            waitIdle(*worker, hold);
            worker->ending = true;
        }
        worker->changed.notify_all();
        worker->thread.join();
        delete worker;
    },
};

}  // namespace

const Platform& hostPlatform() {
    return kPosix;
}
