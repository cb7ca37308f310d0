#include <gtest/gtest.h>

#include <string>

#include "app/app_test_support.h"
#include "app/folders.h"
#include "app/install_dir_macro.h"
#include "app/messages.h"
#include "app/product.h"
#include "app/program_data.h"
#include "app/text_format.h"
#include "app/version_label.h"

namespace app {
namespace {

class MessagesTest : public ::testing::Test {
 protected:
  void Fill(const char* language) {
    kvtest::UseLanguage(language);
    FillProgramTexts("C:\\dist\\setup.exe");
  }
  void TearDown() override { kvtest::ResetLanguage(); }
  std::string GroupWithoutSlash() const { return GroupName.substr(1); }
};

TEST_F(MessagesTest, FinalReportInEnglish) {
  Fill("en");
  EXPECT_EQ(Format(MsgInstalledOk, {ProductNounGen, ProductName}), "The KV for STL system is installed successfully.");
  EXPECT_EQ(Format(MsgInstalled, {ProductNounGen, ProductName}), "The KV for STL system is installed.");
  EXPECT_EQ(Format(MsgShortcutsPlaced, {ProductNounGen, ProductName, GroupWithoutSlash()}),
            "Shortcuts of the KV for STL system are placed in the \"KV for STL\" program group of the Start Menu.");
  EXPECT_EQ(Format(MsgProblemsAdvice, {ProductNoun, ProductName, ProductNounGen, ProductName}),
            "These problems may lead to an unproper work of KV for STL.\r\n"
            "We recommend to you to reload your computer and repeat the installation of the KV for STL system.");
  EXPECT_EQ(Format(MsgGroupFailed, {GroupWithoutSlash()}), "Could not create the \"KV for STL\" program group.");
}

TEST_F(MessagesTest, FinalReportInRussian) {
  Fill("ru");
  EXPECT_EQ(Format(MsgInstalledOk, {ProductNounGen, ProductName}), Cp1251("Установка задачника KV for STL успешно завершена."));
  EXPECT_EQ(Format(MsgShortcutsPlaced, {ProductNounGen, ProductName, GroupWithoutSlash()}),
            Cp1251("Ярлыки задачника KV for STL помещены в группу \"KV for STL\" раздела \"Программы\" меню \"Пуск\"."));
  EXPECT_EQ(Format(MsgProblemsAdvice, {ProductNoun, ProductName, ProductNounGen, ProductName}),
            Cp1251("Из-за указанных проблем задачник KV for STL может работать не вполне корректно.\r\n"
                   "Рекомендуется перезагрузить компьютер и повторно выполнить установку задачника KV for STL."));
  EXPECT_EQ(Format(MsgFilesNotUpdated, {"a.dll, b.dll"}), Cp1251("Не удалось обновить следующие файлы: \r\na.dll, b.dll."));
}

TEST_F(MessagesTest, MessagesWithArgumentsInBothLanguages) {
  Fill("en");
  EXPECT_EQ(Format(MsgArchiveMissing, {"setup.dat2", ProductNounGen, ProductName}),
            "The setup.dat2 file is not found. Installation will be terminated.");
  EXPECT_EQ(Format(MsgCannotCreateDir, {"D:\\KV4", ProductNounGen}),
            "Could not create the \"D:\\KV4\" directory. Choose other directory.");
  EXPECT_EQ(Format(MsgFileLocked, {"kv4.dll", ProductName}).substr(0, 34), "Could not update the \"kv4.dll\" fil");
  EXPECT_EQ(Format(FmtAboutButton, {ProductNounGen}), "About KV for STL");
  EXPECT_EQ(SetupCaption, "KV for STL Install");
  Fill("ru");
  EXPECT_EQ(Format(MsgArchiveMissing, {"setup.dat2", ProductNounGen, ProductName}),
            Cp1251("Не найден файл setup.dat2.\r\nВыполнить установку задачника KV for STL невозможно."));
  EXPECT_EQ(Format(MsgDirReadOnly, {"D:\\KV4", ProductNounGen}),
            Cp1251("Каталог \"D:\\KV4\" закрыт на запись.\r\nВыберите другой каталог для установки задачника."));
  EXPECT_EQ(Format(MsgConfirmExit, {ProductNounGen}),
            Cp1251("Вы хотите выйти из программы,\r\nне выполнив установку задачника?"));
  EXPECT_EQ(Format(MsgDataCopyError, {"setup.dat"}).find(Cp1251("испорчен файл setup.dat.\r\n")) != std::string::npos,
            true);
  EXPECT_EQ(Format(FmtAboutTitle, {ProductNounGen}), Cp1251("Описание задачника [файл readme.txt]"));
  EXPECT_EQ(SetupCaption, Cp1251("Установка KV for STL"));
}

TEST_F(MessagesTest, ComposedMessagesUseTheFilledNames) {
  Fill("ru");
  EXPECT_EQ(MsgPreviousVersion,
            Cp1251("Перед установкой данной версии задачника KV for STL необходимо удалить ранее установленную версию "
                   "(команда \"Пуск | Программы | Kavrino 4 | Удаление Kavrino 4\")."));
  InstallDir = "D:\\KV4";
  EXPECT_EQ(ExpandInstallDir(MsgBaseMissing),
            Cp1251("Для успешной установки задачника KV for STL необходимо, чтобы в указанном каталоге уже был "
                   "установлен базовый вариант задачника Kavrino версии не ниже 4.15.\r\n"
                   "В каталоге \"D:\\KV4\" базовый вариант задачника требуемой версии не найден."));
  Fill("en");
  EXPECT_EQ(ExpandInstallDir(MsgBaseMissing),
            "You need previously install the basic variant of Kavrino of version 4.18 or higher in the specified "
            "directory.");
  InstallDir.clear();
}

TEST_F(MessagesTest, TextsAreChosenOnceWhenFilled) {
  Fill("ru");
  SetLanguage("en");
  EXPECT_EQ(CaptionExit, Cp1251("Выход"));
  EXPECT_EQ(ReadmeFileName, "readme.txt");
  Fill("en");
  EXPECT_EQ(CaptionExit, "Exit");
  EXPECT_EQ(LicenseFileName, "license_en.txt");
  EXPECT_EQ(EnvDialogPrompt, "\r\n          Select environments to use\r\n          KV for STL:\r\n");
}

TEST_F(MessagesTest, WindowTexts) {
  Fill("ru");
  EXPECT_EQ(WindowCaption, Cp1251("KV4forSTL Install - Программа установки"));
  EXPECT_EQ(AppTitle, "KVforSTL Install");
  EXPECT_EQ(TitleText, "Kavrino for STL");
  Fill("en");
  EXPECT_EQ(DestinationPrompt, "Select the directory where you would like KV for STL to be installed:");
}

TEST_F(MessagesTest, VersionLabelInBothLanguages) {
  const int64_t dos = (int64_t{((2022 - 1980) << 9) | (3 << 5) | 5} << 16) | 0x6000;  // 05.03.2022 12:00
  Fill("en");
  EXPECT_EQ(VersionLabelText(ProductVersion, dos), "Version 1.1 (Build 05.03.2022)");
  EXPECT_EQ(VersionLabelText(ProductVersion, -1), "");
  EXPECT_EQ(VersionLabelText(ProductVersion, int64_t{(42 << 9) | (13 << 5) | 1} << 16), "");  // month 13
  Fill("ru");
  EXPECT_EQ(VersionLabelText(ProductVersion, dos), Cp1251("Версия 1.1 от 05.03.2022"));
  EXPECT_EQ(FormatDate("dd.mm.yyyy", 2006, 1, 9), "09.01.2006");
}

}  // namespace
}  // namespace app
