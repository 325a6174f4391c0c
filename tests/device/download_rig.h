#pragma once
// A download against a simulated panel: the project folder, the application's flags and a
// job the way the command fills it.
#include "device/download/code_download.h"
#include "device/download/download_options.h"
#include "device/download/project_download.h"
#include "tests/device/download_fixture.h"
#include "tests/device/image_area_checks.h"

namespace qv::device::test {

struct DownloadRig : CommandRig {
    explicit DownloadRig(usb::UsbKind kind, std::set<std::uint32_t> bad = {}, int busyReplies = 0) : kind(kind)
    {
        auto s = settingsOfKind(kind);
        s.badBlocks = std::move(bad);
        s.busyReplies = busyReplies;
        panel = host.add(s);
        list.Rebuild(kind == usb::UsbKind::EzUsb ? std::vector{candidateOf(host, kind)} : std::vector<usb::UsbCandidate>{},
                     kind == usb::UsbKind::Hid ? std::vector{candidateOf(host, kind)} : std::vector<usb::UsbCandidate>{},
                     kind == usb::UsbKind::Disk ? std::vector{candidateOf(host, kind)} : std::vector<usb::UsbCandidate>{});
    }
    // The image (and what the walker expects of it) into the project; the panel fits it.
    void install(const SyntheticImage& s)
    {
        expected.checks.clear();
        expected.file = s.build(&expected.checks);
        project.image(expected.file);
        info = panelFor(s);
        panel->setDeviceInfo(info);
    }
    // A compiled project's image; the panel is the one its start map asks for.
    void installCompiled(const Bytes& file)
    {
        expected = expectedOfImage(file);
        project.image(file);
        info = panelOfImage(file);
        panel->setDeviceInfo(info);
    }
    void code(const Bytes& c)
    {
        project.code(c);
        expected.code = c;
        // The reader counts one byte past the highest record end, then rounds up to 4.
        expected.code.resize((c.size() + 1 + 3) & ~std::size_t{3}, 0xFF);
    }
    void file(const std::string& name, const Bytes& bytes)
    {
        fdisk.push_back(project.fdisk(name, bytes));
        expected.files.emplace_back(name, bytes);
    }
    DownloadJob job()
    {
        DownloadJob j;
        j.host = &host;
        j.device = candidateOf(host, kind);
        j.info = info;
        j.projectDir = project.dir.path();
        j.fdiskFiles = fdisk;
        j.options = encodeDownloadOptions(DownloadOptionValues{});
        expected.options.assign(j.options.begin(), j.options.end());
        j.resolutionMustMatch = true;
        j.startSecondOfDay = startSecond;
        j.started = j.now();
        j.wait = &clock;
        j.reports = &queue;
        j.messageBox = services.messageBox;
        return j;
    }
    bool runProject() { return DownloadProjectThread(job(), flags); }
    bool runCode() { return DownloadCodeThread(job(), flags); }
    // Every output text of the run, joined.
    std::string log()
    {
        const Reports r = drain();
        return std::accumulate(r.lines.begin(), r.lines.end(), std::string{});
    }

    usb::UsbKind kind;
    std::shared_ptr<virtual_panel::SimPanel> panel;
    ProjectFolder project;
    std::vector<std::filesystem::path> fdisk;
    ExpectedFlash expected;
    DeviceInfo info;
    std::uint32_t startSecond = 36000;
    std::atomic<int> compiling{0}, downloading{0}, abort{0}, total{0}, done{0};
    DownloadFlags flags{compiling, downloading, abort, total, done};
};

inline bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

} // namespace qv::device::test
