// The texts the mailer shows; the SMTP client and the program share them.
#pragma once

namespace mail_messages {

// SMTP dialogue.
constexpr const char* kCannotConnect = "Cannot connect to mail server.";
constexpr const char* kGeneralFailure = "General Send Failure.";
constexpr const char* kFromRejected = "The From address does not exist.";
constexpr const char* kToRejected = "The To address is invalid.";
constexpr const char* kAttachmentFailed = "Could not send Zembra file(s)! Error %d";
constexpr const char* kMessageRefused = "The mail server did not accept the message:\n";
constexpr const char* kServerSilent = "The mail server did not answer in time.";
constexpr const char* kConnectionLost = "The connection to the mail server was lost.";
constexpr const char* kUnsafeAddress =
    "An EMail address must not contain line breaks or angle brackets.";
constexpr const char* kSendingAttachment = "Sending Attachment %d of %d";

// Program level.
constexpr const char* kAlreadyRunning =
    "Zembra EMailer is already running.\nPlease wait and try again later.";
constexpr const char* kSocketsFailed = "Windows sockets initialization failed.";
constexpr const char* kNoFiles = "No files passed in!";
constexpr const char* kPathTooLong = "A file path is longer than 259 characters:\n";
constexpr const char* kNoWorkFolder = "No folder for the set could be made in the temporary folder.";
constexpr const char* kFieldsMissing = "You must enter an EMail Server, a From, and To EMail address.";
constexpr const char* kSegmentMissing =
    "A segment of the set is missing, so nothing has been sent:\n";
constexpr const char* kSegmentUnreadable =
    "A segment of the set cannot be read, so nothing has been sent:\n";
constexpr const char* kRunFailed = "Rovudede Email Failed!";
constexpr const char* kRunExited = "Rovudede EMail Exited!";
constexpr const char* kRunDone = "Rovudede EMailed!";
constexpr const char* kEmailingFiles = "Emailing files....";
constexpr const char* kSegmentLine = "Zembra File Segment %d of %d";
constexpr const char* kExplanation =
    "Files segments have been e-mailed to you using Orlaq Zembra because the file was too large "
    "to send as one file.  To rejoin the file segments, save the attached files (An EXE and SEG "
    "files) from each message to the same directory on your local hard disk.  Double click on "
    "the EXE and the file segments will be rejoined to their original file(s) in a location you "
    "specify.";
// Told in the first message when the set's recovery volumes follow the segments.
constexpr const char* kRecoveryNote =
    "Messages %d to %d of this mailing carry recovery volumes (%s.par2 and %s.vol*.par2) instead "
    "of segments.  Save them to the same directory as the segments: with them any %d of the %d "
    "segment messages may go missing or arrive damaged, and the EXE rebuilds those segments "
    "before it rejoins (\"zembra-cli repair\" or \"par2 repair\" do the same).";
constexpr const char* kVolumeLine = "Zembra Recovery Volume %d of %d, for the %d file segments";

}  // namespace mail_messages
