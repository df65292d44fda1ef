#include "joblist/source_adder.h"

#include "joblist/list_file.h"
#include "platform/app_errors.h"
#include "platform/file_system.h"
#include "platform/translation.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <algorithm>

namespace quillon {

SourceAdder::SourceAdder(JobList &jobs, ConverterPool &converters, MessageSink &messages)
    : Jobs(jobs), Converters(converters), Messages(messages)
{
}

bool SourceAdder::ConverterFree() const
{
    return !Adding && !Converters.AnyActive() && !(BatchRunning && BatchRunning());
}

bool SourceAdder::Offer(std::vector<AddItem> items)
{
    if (ConverterFree())
        DrainQueue(); // older requests first
    if (!ConverterFree()) {
        Queue.push_back(std::move(items));
        return false;
    }
    try {
        Process(items);
    } catch (...) {
        DrainQueueLater();
        throw;
    }
    DrainQueue(); // what arrived while this request was probing
    return true;
}

void SourceAdder::DrainQueue()
{
    while (!Queue.empty() && ConverterFree()) {
        std::vector<AddItem> items = std::move(Queue.front());
        Queue.pop_front();
        try {
            Process(items);
        } catch (...) {
            HandleApplicationError(std::current_exception());
        }
    }
}

void SourceAdder::DrainQueueLater()
{
    QMetaObject::invokeMethod(
        &Context, [this] { DrainQueue(); }, Qt::QueuedConnection);
}

void SourceAdder::Process(const std::vector<AddItem> &items)
{
    Adding = true;
    struct Done {
        SourceAdder &adder;
        ~Done()
        {
            adder.Adding = false;
            if (adder.OnRequestDone)
                adder.OnRequestDone();
        }
    } done{*this};

    std::vector<Admission> admissions = AdmissionsOf(items);
    const int width = SimultaneousWithinRange(Simultaneous ? Simultaneous() : 1);
    const auto laneBusy = [this](int lane) {
        return Converters.Probe(lane).Probing() || Converters.Session(lane).Runner().Active();
    };
    const auto anyLaneBusy = [&] {
        for (int lane = 0; lane < width; ++lane)
            if (laneBusy(lane))
                return true;
        return false;
    };
    size_t next = 0, concluded = 0;
    try {
        while (concluded < admissions.size()) {
            for (int lane = 0; lane < width && next < admissions.size(); ++lane) {
                while (!laneBusy(lane) && next < admissions.size())
                    StartProbe(admissions[next++], lane);
            }
            // Rows and messages in the order of the paths, whichever probe
            // ended first.
            while (concluded < admissions.size() && admissions[concluded].Finished)
                Conclude(admissions[concluded++]);
            if (concluded < admissions.size())
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
    } catch (...) {
        // The paths after the failed one are not added: their probes stop,
        // and are waited for, as they report into this request.
        while (anyLaneBusy()) {
            for (int lane = 0; lane < width; ++lane)
                if (Converters.Session(lane).Runner().Active())
                    Converters.Session(lane).Runner().Terminate(0);
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        throw;
    }
}

std::vector<SourceAdder::Admission> SourceAdder::AdmissionsOf(const std::vector<AddItem> &items) const
{
    std::vector<Admission> admissions;
    for (const AddItem &item : items) {
        const bool isList = item.Kind == AddKind::ListFile ||
                            (item.Kind == AddKind::ByExtension && UpperExtension(item.Path) == ".LST");
        if (!isList) {
            admissions.emplace_back(item.Path);
        } else if (const auto text = ReadListFile(item.Path)) {
            for (std::string &source : ListFileSources(*text))
                admissions.emplace_back(std::move(source));
        } else {
            admissions.emplace_back(item.Path, true);
        }
    }
    return admissions;
}

void SourceAdder::StartProbe(Admission &admission, int lane)
{
    if (admission.Missing || !FileExists(admission.Path)) {
        admission.Missing = admission.Finished = true;
        return;
    }
    if (!ProbeOnAdmission) {
        admission.Outcome.Passed = admission.Finished = true;
        return;
    }
    MediaProbe &probe = Converters.Probe(lane);
    try {
        probe.StartProbe(admission.Path, [this, &admission, &probe, lane](const MediaProbe::Outcome &outcome) {
            admission.Outcome = outcome;
            admission.Interrupted = probe.Interrupted();
            admission.Facts = Converters.Session(lane).Facts();
            admission.Finished = true;
        });
    } catch (...) {
        // Told when the paths before it are concluded.
        admission.Outcome.Error = std::current_exception();
        admission.Finished = true;
    }
}

void SourceAdder::Conclude(const Admission &admission)
{
    if (admission.Missing) {
        PassOver(admission.Path, PassedOver::Missing);
        return;
    }
    if (admission.Outcome.Error)
        std::rethrow_exception(admission.Outcome.Error);
    if (!admission.Outcome.Passed) {
        // A probe that was stopped from outside says nothing about the file.
        if (admission.Interrupted)
            return;
        Messages.ShowMessage(Arg(Tr("Batch", "Unsupported or bad video file: %1!"), {admission.Path}));
        PassOver(admission.Path, PassedOver::Refused);
        return;
    }
    const MediaFacts &facts = admission.Facts;
    std::string information = InformationText(facts.PictureWidth, facts.PictureHeight, facts.Duration);
    // First: it decides the output's type, and the column is narrow.
    if (const std::string tracks = SoundTracksText(facts.SoundTracks);
        !tracks.empty() && ShowSoundTracks && ShowSoundTracks())
        information = tracks + " " + information;
    Jobs.Append(admission.Path, information, facts.Duration);
}

void SourceAdder::PassOver(const std::string &path, PassedOver why)
{
    if (OnPassedOver)
        OnPassedOver(path, why);
}

} // namespace quillon
