// The message table: every text the user can see, filled once in the final
// interface language (Russian texts in code page 1251). Texts with placeholders
// are filled with Format (text_format.h).
#pragma once

#include <string>

namespace app {

// Labels, captions and titles.
extern std::string FmtVersion;        // ProductVersion, build date
extern std::string FmtBuildDate;      // date picture "dd.mm.yyyy"
extern std::string FmtAboutButton;    // ProductNounGen
extern std::string CaptionLicense;
extern std::string CaptionBrowse;
extern std::string CaptionInstall;
extern std::string CaptionExit;
extern std::string CaptionCancel;
extern std::string FmtSetupCaption;   // ProductName
extern std::string FmtAboutTitle;     // ProductNounGen
extern std::string LicenseTitle;
extern std::string ReadmeFileName;
extern std::string LicenseFileName;
extern std::string EnvDialogCaption;
extern std::string EnvDialogPrompt;
extern std::string StatusReading;
extern std::string StatusCopying;
extern std::string StatusShortcuts;

// Messages; the comment names the arguments.
extern std::string MsgArchiveMissing;       // volume file name, ProductNounGen, ProductName
extern std::string MsgCannotCreateDir;      // InstallDir, ProductNounGen
extern std::string MsgDirReadOnly;          // InstallDir, ProductNounGen
extern std::string MsgConfirmExit;          // ProductNounGen
extern std::string MsgGroupFailed;          // GroupName without its first character
extern std::string MsgFilesNotUpdated;      // list of file names
extern std::string MsgFilesNotCreated;      // list of file names
extern std::string MsgShortcutsNotCreated;  // list of shortcut names
extern std::string MsgInstalledOk;          // ProductNounGen, ProductName
extern std::string MsgShortcutsPlaced;      // ProductNounGen, ProductName, GroupName without its first character
extern std::string MsgInstalled;            // ProductNounGen, ProductName
extern std::string MsgProblemsAdvice;       // ProductNoun, ProductName, ProductNounGen, ProductName
extern std::string MsgOldComponents;        // none
extern std::string MsgDataCopyError;        // volume file name
extern std::string MsgFileLocked;           // file name, ProductName
extern std::string MsgPreviousVersion;      // none (composed from ProductNounGen and ProductName)
extern std::string MsgBaseMissing;          // none; "%InstallDir%" is expanded when shown

// Fixed window texts and those chosen by language.
extern std::string AppTitle;           // "KVforSTL Install"
extern std::string TitleText;          // "Kavrino for STL"
extern std::string WindowCaption;      // main window caption
extern std::string DescriptionText;    // the product's one-line description
extern std::string AuthorText;         // the author line
extern std::string DestinationPrompt;  // the prompt before the destination field

// Fills every message that does not depend on product values, and the window
// texts, with ChooseText: the final language must be set before.
void FillMessages();

// Fills MsgPreviousVersion and MsgBaseMissing, which are composed from
// ProductNounGen and ProductName: those must be filled before.
void FillComposedMessages();

}  // namespace app
