#pragma once
// Made-up machine for the explanations of failed opens: device nodes, links,
// users and groups, processes, ttys, USB devices, rule files, by-id names.

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "ports/diagnosis_facts.h"

namespace ports_test {

class FakeDiagnosisFacts : public ports::DiagnosisFacts {
 public:
  std::map<std::string, ports::NodeFacts> nodes;  // by real path
  std::map<std::string, std::string> links;       // path -> what it resolves to
  std::string user = "alice";
  std::vector<unsigned> processGroups{1000};
  std::map<std::string, std::vector<unsigned>> databaseGroups{{"alice", {1000}}};
  std::map<unsigned, std::string> groupNames{{0, "root"}, {20, "dialout"}, {1000, "alice"}};
  std::set<std::string> processes{"systemd", "bash"};
  std::set<std::string> busNames;
  std::map<std::string, ports::TtyFacts> ttys;
  std::vector<ports::UsbDeviceFacts> usbDevices;
  std::vector<ports::RuleFileFacts> ruleFiles;
  std::vector<ports::ByIdLink> byId;
  int busQuestions = 0;

  // A device node "crw-rw---- root:dialout" that this process may not use.
  ports::NodeFacts& AddNode(const std::string& path, unsigned major, unsigned minor, bool usable = true) {
    ports::NodeFacts& node = nodes[path];
    node.exists = true;
    node.charDevice = true;
    node.major = major;
    node.minor = minor;
    node.groupId = 20;
    node.groupName = "dialout";
    node.mode = 0660;
    node.usable = usable;
    return node;
  }
  // A by-id link and the /dev/serial/by-id entry that shows it.
  void AddById(const std::string& path, const std::string& target) {
    links[path] = target;
    byId.push_back({path, target});
  }

  ports::NodeFacts Node(const std::string& path) override {
    const auto it = nodes.find(RealPath(path));
    return it == nodes.end() ? ports::NodeFacts{} : it->second;
  }
  std::string RealPath(const std::string& path) override {
    if (const auto it = links.find(path); it != links.end()) return it->second;
    return nodes.count(path) ? path : std::string();
  }
  std::string UserName() override { return user; }
  std::vector<unsigned> ProcessGroups() override { return processGroups; }
  std::vector<unsigned> DatabaseGroups(const std::string& name) override {
    const auto it = databaseGroups.find(name);
    return it == databaseGroups.end() ? std::vector<unsigned>{} : it->second;
  }
  std::string GroupName(unsigned id) override {
    const auto it = groupNames.find(id);
    return it == groupNames.end() ? std::string() : it->second;
  }
  std::vector<std::string> ProcessNames() override { return {processes.begin(), processes.end()}; }
  bool BusNameHasOwner(const std::string& name) override {
    ++busQuestions;
    return busNames.count(name) != 0;
  }
  ports::TtyFacts Tty(const std::string& name) override {
    const auto it = ttys.find(name);
    return it == ttys.end() ? ports::TtyFacts{} : it->second;
  }
  std::vector<ports::UsbDeviceFacts> UsbDevices() override { return usbDevices; }
  std::vector<ports::RuleFileFacts> RuleFiles(const std::string& part) override {
    std::vector<ports::RuleFileFacts> found;
    std::copy_if(ruleFiles.begin(), ruleFiles.end(), std::back_inserter(found),
                 [&](const ports::RuleFileFacts& f) { return f.name.find(part) != std::string::npos; });
    return found;
  }
  std::vector<ports::ByIdLink> SerialByIdLinks() override { return byId; }
};

// A USB tty: an ACM interface (class 2/2/1) of a single-port device, or a
// usb-serial bridge port.
inline ports::TtyFacts UsbTty(const std::string& driver, int vendorId, int productId,
                              std::string product = {}) {
  ports::TtyFacts tty;
  tty.known = true;
  tty.driver = driver;
  tty.usb = true;
  if (driver == "cdc_acm") {
    tty.interfaceClass = 2;
    tty.interfaceSubClass = 2;
    tty.interfaceProtocol = 1;
  } else {
    tty.interfaceClass = 0xff;
    tty.interfaceSubClass = 0;
    tty.interfaceProtocol = 0;
  }
  tty.usbDevice.sysName = "1-1";
  tty.usbDevice.vendorId = vendorId;
  tty.usbDevice.productId = productId;
  tty.usbDevice.product = std::move(product);
  return tty;
}

}  // namespace ports_test
