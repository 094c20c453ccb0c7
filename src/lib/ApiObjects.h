#pragma once
// What the C API's opaque result handles hold: the model's and emulator's own
// values, and the strings handed out from them (kept here so that the
// pointers stay valid while the handle lives).

#include <string>
#include <vector>

#include "BackupComparison.h"
#include "ControllerBackup.h"
#include "ProgramCheck.h"
#include "ProgramDryRun.h"
#include "ProgramSet.h"
#include "kxrd4/kxrd4.h"

struct kxrd4_device_list {
    struct Entry {
        std::string serial;
        std::string port;
        std::string path;
    };
    std::vector<Entry> entries;
};

struct kxrd4_programs {
    ProgramSet set;
};

struct kxrd4_findings {
    std::vector<ProgramCheck::Finding> findings;
};

struct kxrd4_dry_run {
    ProgramDryRun::Result result;
    std::vector<kxrd4_sample> samples;
};

struct kxrd4_backup {
    ControllerBackup backup;
};

struct kxrd4_restore_report {
    struct Item {
        std::string name;
        kxrd4_item_result result;
        std::string file;
        std::string controller;
    };
    std::vector<Item> items;
    bool verified = false;
};

struct kxrd4_differences {
    explicit kxrd4_differences(BackupComparison c) : comparison(std::move(c)) {
        for (const auto& d : comparison.Differences()) {
            names.push_back(BackupComparison::ItemName(d));
        }
    }
    BackupComparison comparison;
    std::vector<std::string> names; // BackupComparison::ItemName of each difference
};
