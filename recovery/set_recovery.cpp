// Recovery volumes beside a set: checking it, and rebuilding in place or in a temporary folder.
#include "recovery/set_recovery.h"

#include <algorithm>

#include "recovery/temp_folder.h"
#include "platform/paths.h"
#include "platform/text_case.h"

namespace {

// "NAME_1.EXE" -> "NAME": volumes are named after the set, not its segments.
std::string SetBase(const std::string& segmentName) {
    std::string name = segmentName.substr(0, segmentName.rfind('.'));
    size_t cut = name.rfind('_');
    return cut == std::string::npos ? name : name.substr(0, cut);
}

std::string FolderOf(const std::string& path) { return path.substr(0, path.rfind('\\') + 1); }

// Segment names in their own order (NAME_2.SEG before NAME_10.SEG): shorter first.
bool SegmentOrder(const std::string& a, const std::string& b) {
    return a.size() != b.size() ? a.size() < b.size() : a < b;
}

bool FolderWritable(IFileSystem& fs, const std::string& folder) {
    std::string probe = folder + ".zembra-repair-probe";
    if (fs.Exists(probe)) return false;
    auto file = fs.Open(probe, OpenMode::CreateWrite, Share::DenyNone);
    if (!file) return false;
    file->Close();
    file.reset();
    fs.RemoveFile(probe);
    return true;
}

}  // namespace

CSetRecovery::~CSetRecovery() {
    redirect_.reset();
    for (const std::string& n : inTemporary_) fs_.RemoveFile(temporary_ + n);
    if (!temporary_.empty()) RemoveTemporaryFolder(temporary_);
}

bool CSetRecovery::Load(const std::string& firstSegment, std::string& error) {
    folder_ = FolderOf(firstSegment);
    std::string name = firstSegment.substr(folder_.size());
    std::vector<std::string> volumes = CRecoverySet::FindVolumes(fs_, folder_, SetBase(name));
    error.clear();
    if (volumes.empty()) return false;
    if (!set_.Load(fs_, volumes, {name}, error)) return false;
    repair_.reset(new CRecoveryRepair(fs_, set_, folder_));
    repair_->SetProgress(progress_);
    if (!repair_->Check(error)) {
        cancelled_ = repair_->Cancelled();
        repair_.reset();
        return false;
    }
    return true;
}

uint64_t CSetRecovery::Bytes() const {
    uint64_t bytes = 0;
    for (const par2::FileEntry& f : set_.Files()) bytes += f.length;
    return bytes;
}

std::string CSetRecovery::Damage() const {
    std::vector<size_t> order;
    for (size_t i = 0; repair_ && i < repair_->States().size(); ++i)
        if (!repair_->States()[i].whole) order.push_back(i);
    std::sort(order.begin(), order.end(),
              [this](size_t a, size_t b) { return SegmentOrder(set_.Files()[a].name, set_.Files()[b].name); });
    std::string text;
    for (size_t i : order) {
        const RecoveryFileState& s = repair_->States()[i];
        const par2::FileEntry& f = set_.Files()[i];
        text += (text.empty() ? "" : ", ") + f.name;
        if (!s.present) text += " is missing";
        else if (s.badSlices == 0) text += " has the wrong length";
        else text += " is damaged (" + std::to_string(s.badSlices) + " of " + std::to_string(f.slices.size()) + " slices)";
    }
    return text;
}

std::string CSetRecovery::Coverage() const {
    if (!repair_) return std::string();
    size_t have = repair_->RecoveryAvailable();
    return std::to_string(repair_->MissingSlices()) + " slice" + (repair_->MissingSlices() == 1 ? "" : "s") +
           " to rebuild, " + std::to_string(have) + " recovery slice" + (have == 1 ? "" : "s") + " at hand";
}

bool CSetRecovery::Repair(bool allowTemporary, std::vector<std::string>& rebuilt, std::string& where,
                          std::string& error) {
    if (!repair_) return false;
    if (!repair_->Repairable()) {
        error = "the set cannot be rebuilt: " + Coverage();
        return false;
    }
    if (FolderWritable(fs_, folder_) || !allowTemporary) {
        where = folder_;
        bool ok = repair_->Repair(folder_, rebuilt, error);
        std::sort(rebuilt.begin(), rebuilt.end(), SegmentOrder);
        return ok;
    }
    temporary_ = MakeTemporaryFolder();
    if (temporary_.empty()) {
        error = UserPath(folder_) + " cannot be written and no temporary folder could be made";
        return false;
    }
    where = temporary_;
    if (!repair_->Repair(temporary_, rebuilt, error)) return false;
    std::sort(rebuilt.begin(), rebuilt.end(), SegmentOrder);
    inTemporary_ = rebuilt;
    redirect_.reset(new CRepairedFileSystem(fs_, folder_, temporary_, rebuilt));
    return true;
}
