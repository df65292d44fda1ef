#include "joblist/source_adder.h"

#include "joblist/list_file.h"
#include "platform/app_errors.h"
#include "platform/file_system.h"

#include <QMetaObject>

namespace quillon {

SourceAdder::SourceAdder(JobList &jobs, ConverterSession &session, MediaProbe &probe, MessageSink &messages)
    : Jobs(jobs), Session(session), Probe(probe), Messages(messages)
{
}

bool SourceAdder::ConverterFree() const
{
    return !Adding && !Session.Runner().Active() && !(BatchRunning && BatchRunning());
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
    for (const AddItem &item : items) {
        const bool isList = item.Kind == AddKind::ListFile ||
                            (item.Kind == AddKind::ByExtension && UpperExtension(item.Path) == ".LST");
        if (isList)
            LoadFileList(item.Path);
        else
            AddFileToList(item.Path);
    }
}

void SourceAdder::PassOver(const std::string &path, PassedOver why)
{
    if (OnPassedOver)
        OnPassedOver(path, why);
}

void SourceAdder::AddFileToList(const std::string &path)
{
    if (!FileExists(path)) {
        PassOver(path, PassedOver::Missing);
        return;
    }
    if (!Probe.ProbeFile(path)) {
        // A probe that was stopped from outside says nothing about the file.
        if (Probe.Interrupted())
            return;
        Messages.ShowMessage("Unsupported or bad video file: " + path + "!");
        PassOver(path, PassedOver::Refused);
        return;
    }
    const MediaFacts &facts = Session.Facts();
    Jobs.Append(path, InformationText(facts.PictureWidth, facts.PictureHeight, facts.Duration));
}

void SourceAdder::LoadFileList(const std::string &path)
{
    const auto text = ReadListFile(path);
    if (!text) {
        PassOver(path, PassedOver::Missing);
        return;
    }
    for (const std::string &source : ListFileSources(*text))
        AddFileToList(source);
}

} // namespace quillon
