#pragma once

#include <string>

#include "device/learn_window.h"
#include "files/pager_data_file.h"
#include "link/device_search.h"
#include "transfer/read_out.h"
#include "transfer/write.h"

namespace harvelin {

// What the form's operations came to, for whoever watches the form besides
// the user (the tests, a log). Each call carries its own operation's result.
class FormListener {
public:
    virtual ~FormListener() = default;
    virtual void searchEnded(const SearchResult& /*result*/) {}
    // `backupPath`: the backup this read-out left, empty when none.
    virtual void readOutEnded(const ReadOutResult& /*result*/, const std::string& /*backupPath*/) {}
    virtual void writeEnded(const WriteResult& /*result*/) {}
    // A learn window ended: whether it stored an identity, and how the pager
    // took the end of learn mode.
    virtual void learnEnded(bool /*stored*/, LearnModeExit /*exit*/) {}
    virtual void switchSent(bool /*confirmed*/) {}
    virtual void bootloaderStarted(bool /*confirmed*/) {}
    // An open (with the file's coverage) or a save went through or not.
    virtual void fileEnded(bool /*ok*/, const FileCoverage& /*coverage*/) {}
};

}  // namespace harvelin
