// The texts the split engine shows, byte for byte.
#pragma once

namespace split_text {

constexpr const char kDoesNotExist[] = " Does not exist!";
constexpr const char kNoRoomAtStart[] =
    "%s\nThere is not enough room to create the\nrequested Split File sizes. \nDo you want to use Autosize and continue?";
constexpr const char kNoRoomForSegment[] =
    "%s\nThere is not enough room to create the\nrequested Split File size. \nSwitch to Autosize and continue?\n\nNo will abort the split.";
constexpr const char kOverwrite[] = "Overwrite existing Split Set! ";
constexpr const char kCancelled[] = "Progress Cancelled";
constexpr const char kDisketteNoAccess[] = "This removeable diskette cannot be accessed.";
constexpr const char kTryOtherLocation[] = "Please try a different Location.";
constexpr const char kSplitting[] = "Splitting...";
constexpr const char kSplittingPath[] = "Splitting %s ...";
constexpr const char kInsertDisk[] = "Please insert another disk in drive %c";
constexpr const char kPreviousSegment[] = "Please insert another disk in drive %c\nCannot overwrite previous segment %s.";
constexpr const char kTryAnotherDiskette[] = "Try another diskette";
constexpr const char kFloor50K[] = "Must have at least 50K available free space!";
constexpr const char kRootDirectory[] = "(%c) Root Directory";
constexpr const char kHeading[] = "$ =====Files in %s=======%s\n";
constexpr const char kContinued[] = "\n$ cont.. ";
constexpr const char kSummary[] = "$  \n$  \n$ %d files included in this Split Set \n$  ";
constexpr const char kTestFile[] = "tmp.xtx";
constexpr const char kLineBreak[] = "\r\n";

// Messages for situations the set format cannot hold; they end the run before any of it is written.
constexpr const char kTooLarge[] =
    "%s\nis 4 GB or larger. Files of this size cannot be stored in a Split Set.";
constexpr const char kSizeTooSmall[] =
    "A Split File size of %llu bytes is too small.\nEach Split File must hold at least %llu bytes.";
constexpr const char kNoRoomLeft[] =
    "%s\nThere is not enough free space left to create another Split File.";
constexpr const char kNameTooLong[] = "%s\nThe name is longer than 255 characters and cannot be stored in a Split Set.";
constexpr const char kChangedPadded[] =
    "%s\nbecame shorter while it was being read. Its copy in the Split Set was padded with zeros to the %lu bytes recorded.";
constexpr const char kChangedCut[] =
    "%s\ngrew while it was being read. Its copy in the Split Set was cut to the %lu bytes recorded.";
constexpr const char kWriteFailed[] = "%s\r\nCould not write %s.";
constexpr const char kListingFailed[] =
    "%s\r\nCould not write the contents listing %s.\r\nThe Split Set itself was written and is whole; "
    "its listing is missing or incomplete.";
constexpr const char kBadSetName[] =
    "%s\nis not a valid Split Set name: it cannot hold any of \\ / : * ? \" < > |. Nothing was written.";
constexpr const char kDeviceSetName[] =
    "%s\nis not a valid Split Set name: Windows keeps it for a device (CON, PRN, AUX, NUL, COM1, LPT1 "
    "and the like). Nothing was written.";
constexpr const char kNoRejoiner[] = "The rejoiner program could not be loaded. No Split Set was written.";
constexpr const char kNoDiskAccess[] = "Please insert another disk in drive %c\n%s cannot be accessed.";

// Names the rejoiner would refuse, or that the code page cannot spell: the run is refused
// before anything is written, with every such item listed.
constexpr const char kRefusedNames[] =
    "These items have names that cannot be stored in a Split Set (a character that Windows file names "
    "cannot hold, a reserved or overlong name, or one the code page cannot spell). Nothing was written.\n"
    "Rename or leave out these items and split again:";
// Items the run left out; the set itself is whole and usable.
constexpr const char kLeftOut[] = "The Split Set was written, but these items are missing from it:";
constexpr const char kHiddenLeftOut[] =
    "%d hidden items inside the selected folders were left out of the Split Set, as the setting for "
    "hidden items says:";
constexpr const char kNothingToSplit[] = "Nothing could be put into the Split Set. No Split Set was written:";
constexpr const char kUnreadable[] = "could not be read: %s";
constexpr const char kLinkToFolder[] = "a link to a folder (not followed)";
constexpr const char kNotRegular[] = "not a regular file or folder";
constexpr const char kUnlisted[] = "its contents could not be read: %s";
constexpr const char kRenamed[] = "its name cannot be stored";
constexpr const char kMore[] = "... and %d more";

}  // namespace split_text
