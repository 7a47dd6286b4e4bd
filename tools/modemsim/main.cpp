// modemsim: plays a modem on a pseudo-terminal from a modem profile.
//
//   modemsim [--link PATH] [--log FILE] [--once] [--die-after N] PROFILE
//
// Prints the slave device's path on the first line of standard output, and
// keeps a slave descriptor open itself so that the terminal survives its peer
// closing it (the installer opens and closes ports again and again). Each time
// the last peer closes the terminal, the modem hangs up as on a DTR drop.
// With --once it then ends. SIGTERM and SIGINT end it cleanly. --die-after N
// plays a modem pulled out in the middle of an exchange: after its Nth command
// line it vanishes at once, without answering it and without a hang-up.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tools/modemsim/modemprofile.h"

namespace {

volatile sig_atomic_t stopping = 0;

void onsignal(int) { stopping = 1; }

std::uint64_t now_ms()
{
    using namespace std::chrono;
    return std::uint64_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

int usage()
{
    std::fprintf(stderr, "usage: modemsim [--link PATH] [--log FILE] [--once] [--die-after N] PROFILE\n");
    return 2;
}

bool writeall(int fd, const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            if (errno == EAGAIN) {
                pollfd p = {fd, POLLOUT, 0};
                poll(&p, 1, 100);
                continue;
            }
            return false;
        }
        done += std::size_t(n);
    }
    return true;
}

// The line settings the peer gave the terminal, as "19200 8N1".
std::string linesettings(int fd)
{
    termios t;
    if (tcgetattr(fd, &t) != 0) return "unknown";
    struct speed_name {
        speed_t speed;
        const char* name;
    };
    static const speed_name speeds[] = {{B1200, "1200"},   {B2400, "2400"},   {B4800, "4800"},
                                        {B9600, "9600"},   {B19200, "19200"}, {B38400, "38400"},
                                        {B57600, "57600"}, {B115200, "115200"}};
    std::string text = "other";
    for (const speed_name& s : speeds)
        if (cfgetospeed(&t) == s.speed) text = s.name;
    int bits = (t.c_cflag & CSIZE) == CS8 ? 8 : (t.c_cflag & CSIZE) == CS7 ? 7 : (t.c_cflag & CSIZE) == CS6 ? 6 : 5;
    char parity = !(t.c_cflag & PARENB) ? 'N' : (t.c_cflag & PARODD) ? 'O' : 'E';
    text += " " + std::to_string(bits) + parity + ((t.c_cflag & CSTOPB) ? "2" : "1");
    if (t.c_cflag & CRTSCTS) text += " rtscts";
    if (t.c_iflag & (IXON | IXOFF)) text += " xonxoff";
    return text;
}

struct logger {
    std::FILE* file = nullptr;
    void line(const std::string& text)
    {
        if (!file) return;
        std::fprintf(file, "%s\n", text.c_str());
        std::fflush(file);
    }
};

}  // namespace

int main(int argc, char** argv)
{
    std::string link, logpath, profilepath;
    bool once = false;
    long dieafter = 0;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--link" && i + 1 < argc) link = argv[++i];
        else if (a == "--log" && i + 1 < argc) logpath = argv[++i];
        else if (a == "--once") once = true;
        else if (a == "--die-after" && i + 1 < argc) {
            if (!modemsim::number(argv[++i], 1, 100000, dieafter)) return usage();
        }
        else if (!a.empty() && a[0] == '-') return usage();
        else if (profilepath.empty()) profilepath = a;
        else return usage();
    }
    if (profilepath.empty()) return usage();

    modemsim::profile profile;
    std::string error;
    if (!modemsim::load_profile(profilepath, profile, error)) {
        std::fprintf(stderr, "modemsim: %s\n", error.c_str());
        return 2;
    }
    modemsim::engine modem(profile);

    logger log;
    if (!logpath.empty()) {
        log.file = std::fopen(logpath.c_str(), "a");
        if (!log.file) {
            std::fprintf(stderr, "modemsim: cannot write %s: %s\n", logpath.c_str(), std::strerror(errno));
            return 2;
        }
    }

    int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
        std::fprintf(stderr, "modemsim: no pseudo-terminal: %s\n", std::strerror(errno));
        return 1;
    }
    std::string slavepath = ptsname(master);
    // Our own slave descriptor keeps the terminal and its settings alive between the peer's opens.
    int slave = open(slavepath.c_str(), O_RDWR | O_NOCTTY);
    if (slave < 0) {
        std::fprintf(stderr, "modemsim: cannot open %s: %s\n", slavepath.c_str(), std::strerror(errno));
        return 1;
    }
    termios raw;
    tcgetattr(slave, &raw);
    cfmakeraw(&raw);
    cfsetispeed(&raw, B19200);
    cfsetospeed(&raw, B19200);
    tcsetattr(slave, TCSANOW, &raw);
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);

    // Opens and closes of the slave by the peer.
    int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (watch >= 0) inotify_add_watch(watch, slavepath.c_str(), IN_OPEN | IN_CLOSE_WRITE | IN_CLOSE_NOWRITE);

    if (!link.empty()) {
        unlink(link.c_str());
        if (symlink(slavepath.c_str(), link.c_str()) != 0) {
            std::fprintf(stderr, "modemsim: cannot link %s: %s\n", link.c_str(), std::strerror(errno));
            return 1;
        }
    }

    struct sigaction sa = {};
    sa.sa_handler = onsignal;
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
    signal(SIGPIPE, SIG_IGN);

    std::printf("%s\n", slavepath.c_str());
    std::fflush(stdout);
    log.line("# modem " + (profile.name.empty() ? profilepath : profile.name) + " on " + slavepath);

    int peers = 0;
    bool served = false;
    std::size_t logged = 0;
    std::string lastsettings;
    int status = 0;
    while (!stopping) {
        int timeout = 200;
        std::uint64_t due = 0;
        if (modem.next_due(due)) {
            std::uint64_t t = now_ms();
            timeout = due <= t ? 0 : int(std::min<std::uint64_t>(due - t, 200));
        }
        pollfd fds[2] = {{master, POLLIN, 0}, {watch, POLLIN, 0}};
        int n = poll(fds, watch >= 0 ? 2 : 1, timeout);
        if (n < 0 && errno != EINTR) {
            status = 1;
            break;
        }
        if (watch >= 0 && (fds[1].revents & POLLIN)) {
            alignas(inotify_event) char events[4096];
            ssize_t got = read(watch, events, sizeof events);
            for (ssize_t at = 0; at > -1 && at < got;) {
                const inotify_event* e = reinterpret_cast<const inotify_event*>(events + at);
                if (e->mask & IN_OPEN) {
                    ++peers;
                    served = true;
                    log.line("# open");
                }
                if (e->mask & (IN_CLOSE_WRITE | IN_CLOSE_NOWRITE)) {
                    if (peers > 0) --peers;
                    if (peers == 0) {
                        // The port is closed: the modem hangs up as on a DTR drop.
                        modem.hangup();
                        tcflush(slave, TCIOFLUSH);
                        log.line("# close");
                    }
                }
                at += ssize_t(sizeof(inotify_event) + e->len);
            }
            if (once && served && peers == 0) break;
        }
        if (fds[0].revents & POLLIN) {
            char buffer[1024];
            ssize_t got = read(master, buffer, sizeof buffer);
            if (got > 0) modem.receive(std::string(buffer, std::size_t(got)), now_ms());
        }
        if (logged < modem.commands.size()) {
            // Settings as the peer left them when it sent its command.
            std::string settings = linesettings(slave);
            if (settings != lastsettings) log.line("# line " + settings);
            lastsettings = settings;
        }
        while (logged < modem.commands.size()) log.line(modem.commands[logged++]);
        if (dieafter > 0 && modem.commands.size() >= std::size_t(dieafter)) {
            // Gone: no answer, no hang-up; closing the master ends the terminal under the peer.
            log.line("# died");
            status = 3;
            break;
        }
        std::string out = modem.take_due(now_ms());
        if (!out.empty() && !writeall(master, out)) {
            status = 1;
            break;
        }
    }
    if (!link.empty()) unlink(link.c_str());
    log.line("# end");
    close(slave);
    close(master);
    return status;
}
