// File-list mode: the set "mailxp" in the mailer's work folder.
#include "mailer/mail_set_builder.h"

#include "engine/split_engine.h"
#include "platform/path_text.h"

int CMailSetBuilder::Build(const std::vector<std::string>& files, const std::string& workFolder,
                           uint64_t segmentBytes, std::string& prefix) {
    std::string folder = WithBackslash(workFolder);
    // The engine refuses a missing destination; a first run has no work folder yet.
    uint32_t attributes = 0;
    if (!fs_.GetAttributes(folder.substr(0, folder.size() - 1), attributes))
        fs_.MakeFolder(folder.substr(0, folder.size() - 1));

    NullProgress noProgress;
    CSplitEngine engine(fs_, prompts_, noProgress, image_, SplitEngineOptions::Mailer());
    engine.ClearItems();
    for (const std::string& file : files) engine.AddItem(file);
    if (!engine.Split(folder, kSetName, segmentBytes)) return 0;
    // The prefix is built from the work folder itself, so the segments are found whatever
    // the current folder is.
    prefix = folder + kSetName;
    return engine.SegmentCount();
}
