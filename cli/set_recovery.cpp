// Recovery volumes beside a set, for split, verify, repair and rejoin.
#include "cli/set_recovery.h"

#include <algorithm>
#include <cstdio>

#include "cli/temp_folder.h"
#include "engine/split_engine.h"
#include "platform/paths.h"
#include "platform/text_case.h"
#include "recovery/recovery_creator.h"
#include "rejoiner/segment_name.h"

namespace {

// "NAME_1.EXE" -> "NAME": volumes are named after the set, not its segments.
std::string SetBase(const std::string& segmentName) {
    std::string name = segmentName.substr(0, segmentName.rfind('.'));
    size_t cut = name.rfind('_');
    return cut == std::string::npos ? name : name.substr(0, cut);
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
    folder_ = FolderPart(firstSegment);
    std::string name = FileNamePart(firstSegment);
    std::vector<std::string> volumes = CRecoverySet::FindVolumes(fs_, folder_, SetBase(name));
    error.clear();
    if (volumes.empty()) return false;
    if (!set_.Load(fs_, volumes, {name}, error)) return false;
    repair_.reset(new CRecoveryRepair(fs_, set_, folder_));
    if (!repair_->Check(error)) {
        repair_.reset();
        return false;
    }
    return true;
}

std::string CSetRecovery::Damage() const {
    std::string text;
    for (size_t i = 0; repair_ && i < repair_->States().size(); ++i) {
        const RecoveryFileState& s = repair_->States()[i];
        if (s.whole) continue;
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
        return repair_->Repair(folder_, rebuilt, error);
    }
    temporary_ = MakeTemporaryFolder();
    if (temporary_.empty()) {
        error = UserPath(folder_) + " cannot be written and no temporary folder could be made";
        return false;
    }
    where = temporary_;
    if (!repair_->Repair(temporary_, rebuilt, error)) return false;
    inTemporary_ = rebuilt;
    redirect_.reset(new CRepairedFileSystem(fs_, folder_, temporary_, rebuilt));
    return true;
}

bool WriteSetRecovery(IFileSystem& fs, const std::string& folder, const std::string& base, int count,
                      uint32_t rebuild, bool quiet, std::string& error) {
    std::vector<std::string> names;
    uint64_t largest = 0;
    for (int n = 1; n <= count; ++n) {
        names.push_back(CSplitEngine::SegmentName(base, n));
        FileStatus st;
        if (!fs.GetStatus(folder + names.back(), st)) {
            error = "recovery volumes need every segment in one folder; " + names.back() + " is not in " +
                    UserPath(folder);
            return false;
        }
        largest = std::max(largest, st.size);
    }
    CRecoveryCreator creator(fs);
    if (!creator.Create(folder, base, names, rebuild, largest, error)) return false;
    if (!quiet) {
        uint32_t k = std::min<uint32_t>(rebuild, static_cast<uint32_t>(count));
        size_t volumes = creator.Written().size() - 1;
        std::printf("recovery: %s and %zu volume%s; any %u segment%s can be rebuilt from them\n",
                    UserPath(folder + base + ".par2").c_str(), volumes, volumes == 1 ? "" : "s", k, k == 1 ? "" : "s");
    }
    return true;
}

void RemoveSetRecovery(IFileSystem& fs, const std::string& folder, const std::string& base) {
    for (const std::string& v : CRecoverySet::FindVolumes(fs, folder, base)) fs.RemoveFile(v);
}
