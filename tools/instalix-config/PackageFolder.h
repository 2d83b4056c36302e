// A package folder on disk as the checker reads it: its listings and bytes.
#pragma once

#include <string>

#include "check/PackageCheck.h"

class DiskPackageFolder final : public IPackageFolder {
public:
    explicit DiskPackageFolder(std::string root) : m_root(std::move(root)) {}
    bool List(const std::string& path, std::vector<PackageEntry>* entries) override;
    bool Read(const std::string& path, std::string* bytes) override;

private:
    std::string Join(const std::string& path) const;
    std::string m_root;
};
