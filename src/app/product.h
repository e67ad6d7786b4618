#pragma once

// The names and addresses that the program shows or opens.
namespace app {

inline constexpr char kProductName[] = "Quillmere";
inline constexpr char kSettingsApplication[] = "Mirthvale";
inline constexpr char kSupportEmail[] = "support@mirthvale.com";
inline constexpr char kHomePage[] = "https://www.mirthvale.com/quillmere/";
inline constexpr char kSuiteDownloadPage[] = "https://www.libreoffice.org/download/download-libreoffice/";

// The build date that every error location carries.
inline constexpr char kBuildDate[] = "2021/08/31";

}  // namespace app
