#pragma once
// The slew log "望遠鏡導入履歴.txt" in the user folder: one CP932 line per accepted slew, ended by CR LF.
// Each line is appended to the file as it is accepted (open, append, flush, close), so a crash or a
// power cut loses nothing of an observing night; the lines are also kept in memory.
#include <string>
#include <vector>

#include "skydata/data_location.h"  // kSlewLogFileName

namespace celes {

class SlewLog {
  public:
    // userFolder: the user's folder with its trailing separator (made when the first line is
    // written), or empty for the working folder.
    explicit SlewLog(std::string userFolder) : folder_(std::move(userFolder)) {}

    // Appends the line to the file; false when the file could not be written (the line stays in
    // memory). FailureToReport is true once after the first failure, for the caller's one caption.
    bool Append(const std::string& line);
    bool FailureToReport();

    const std::vector<std::string>& Lines() const { return lines_; }
    std::string Path() const { return folder_ + kSlewLogFileName; }
    void SetFolder(std::string folder) { folder_ = std::move(folder); }

  private:
    std::string folder_;
    std::vector<std::string> lines_;
    bool failed_ = false;
    bool reported_ = false;
};

}  // namespace celes
