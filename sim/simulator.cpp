#include "sim/simulator.h"

#include <cstdio>

#include "sim/nmea_output.h"

namespace sim {
namespace {

// Further behind than this, the missed epochs are dropped, not caught up.
constexpr Millis kCatchUpLimit = 2000;

std::string Number3(int n) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%03d", n);
  return buf;
}

}  // namespace

std::string Printable(std::string_view text) {
  std::string out;
  for (const char ch : text) {
    const auto b = static_cast<unsigned char>(ch);
    if (b >= 0x20 && b < 0x7F) {
      out.push_back(ch);
    } else {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02X", b);
      out += buf;
    }
  }
  return out;
}

Simulator::Simulator(const SimOptions& options, const Clock& clock, LogFunction log)
    : options_(options),
      clock_(clock),
      log_(std::move(log)),
      model_(options.model, clock.Now()),
      noise_(options.noise, options.seed),
      baud_(options.baud) {
  if (options_.rateHz < 1) options_.rateHz = 1;
  nextEpoch_ = clock_.Now() * options_.rateHz / 1000 + 1;
}

void Simulator::SetReplay(ReplaySource replay) {
  if (replay.Empty()) return;
  replay_.emplace(std::move(replay));
  nextReplay_ = clock_.Now();
}

void Simulator::SetToolBaud(std::uint32_t baud) {
  const bool before = Garbling();
  toolBaud_ = baud;
  LogLineState(before);
}

void Simulator::LogLineState(bool garblingBefore) const {
  if (Garbling() == garblingBefore) return;
  char buf[128];
  if (Garbling()) {
    std::snprintf(buf, sizeof buf,
                  "the tool's port runs at %u bit/s, the receiver at %u: the line is garbled",
                  static_cast<unsigned>(toolBaud_), static_cast<unsigned>(baud_));
  } else {
    std::snprintf(buf, sizeof buf, "both ends at %u bit/s again", static_cast<unsigned>(baud_));
  }
  Log(buf);
}

Millis Simulator::EpochTime(std::int64_t index) const { return index * 1000 / options_.rateHz; }

Millis Simulator::NextDue() const { return replay_ ? nextReplay_ : EpochTime(nextEpoch_); }

void Simulator::Tick() {
  const Millis now = clock_.Now();
  if (replay_) {
    if (now - nextReplay_ > kCatchUpLimit || nextReplay_ - now > 2 * kCatchUpLimit + 60000) nextReplay_ = now;
    while (nextReplay_ <= now) {
      const ReplaySource::Epoch& e = replay_->Next();
      if (!isp_) Emit(e.text);
      nextReplay_ += e.pauseAfter;
    }
    return;
  }
  const Millis interval = 1000 / options_.rateHz;
  if (now - EpochTime(nextEpoch_) > kCatchUpLimit || EpochTime(nextEpoch_) - now > interval + kCatchUpLimit) {
    nextEpoch_ = now * options_.rateHz / 1000;  // the clock jumped: go on from the present epoch
  }
  while (EpochTime(nextEpoch_) <= now) {
    if (!isp_) Emit(EpochText(config_, nextEpoch_, model_.Observe(EpochTime(nextEpoch_))));
    ++nextEpoch_;
  }
}

std::string Simulator::TakeOutput() {
  std::string out;
  out.swap(output_);
  return out;
}

void Simulator::Emit(std::string_view text) {
  std::string noisy = noise_.Apply(text);
  output_ += Garbling() ? ThroughMismatchedLine(noisy, baud_, toolBaud_) : noisy;
}

void Simulator::Reply(std::string body) { Emit(Line(std::move(body))); }

void Simulator::Log(std::string_view text) const {
  if (log_) log_(text);
}

void Simulator::Receive(std::string_view bytes) {
  const std::string heard = Garbling() ? ThroughMismatchedLine(bytes, toolBaud_, baud_) : std::string(bytes);
  for (const char ch : heard) {
    if (ch == '\r' || ch == '\n') {
      if (lineTooLong_) {
        Log("ignored an over-long line");
      } else if (!line_.empty()) {
        HandleLine(line_);
      }
      line_.clear();
      lineTooLong_ = false;
      continue;
    }
    if (ch == '$' && !line_.empty()) {
      // A sentence starts afresh at its "$", whatever came before it.
      if (!lineTooLong_) Log("< " + Printable(line_) + " (dropped: no line end)");
      line_.clear();
      lineTooLong_ = false;
    }
    if (line_.size() < kMaxLine) {
      line_.push_back(ch);
    } else {
      lineTooLong_ = true;
    }
  }
}

void Simulator::HandleLine(std::string_view line) {
  Log("< " + Printable(line));
  if (isp_) {
    if (line.size() >= 5 && line.substr(line.size() - 5) == "ABORT") {
      isp_ = false;
      Log("left in-system programming");
    } else {
      Log("ignored in in-system programming");
    }
    return;
  }
  const Command c = ParseCommand(line);
  switch (c.kind) {
    case CommandKind::NotOurs:
    case CommandKind::BadChecksum:
      Log("ignored: " + c.problem);
      return;
    case CommandKind::Rejected:
      Log("rejected: " + c.problem);
      Reply("$PVLXACK," + Number3(c.number) + ",BAD");
      return;
    default:
      Apply(c);
  }
}

void Simulator::ResetSettings() {
  config_ = OutputConfig{};
  otherSettings_.clear();
  model_.SetChannels(kDefaultChannels);
}

void Simulator::Apply(const Command& c) {
  const std::string ack = "$PVLXACK," + Number3(c.number) + ",OK";
  switch (c.kind) {
    case CommandKind::VersionQuery:
      Emit(VersionReply(options_.version));
      return;
    case CommandKind::SettingsQuery:
      Emit(SettingsReport());
      return;
    case CommandKind::EnterIsp:
      isp_ = true;
      Log("entered in-system programming: silent until ABORT");
      return;
    case CommandKind::SetUart: {
      Reply(ack);  // still at the old speed
      const bool before = Garbling();
      char buf[160];
      std::snprintf(buf, sizeof buf, "line speed %u -> %u bit/s%s", static_cast<unsigned>(baud_),
                    static_cast<unsigned>(c.baud),
                    c.protocol == 1 ? " (binary protocol asked for; the output stays NMEA)" : "");
      Log(buf);
      protocol_ = c.protocol;
      baud_ = c.baud;
      LogLineState(before);
      return;
    }
    case CommandKind::SelectMessages:
      config_.order = c.messages;
      Reply(ack);
      return;
    case CommandKind::SetRates:
      for (const auto& [message, rate] : c.rates) config_.rates[static_cast<std::size_t>(message)] = rate;
      Reply(ack);
      return;
    case CommandKind::Restart:
      Reply(ack);
      if (c.restart == RestartKind::Factory || c.reloadSettings) ResetSettings();
      if (c.number == 101) {
        model_.SetChannels(c.channels);
        otherSettings_[c.number] = c.fields;
      }
      model_.Restart(c.restart, clock_.Now());
      Log("restart: " + std::string(RestartName(c.restart)));
      return;
    case CommandKind::Accepted:
      otherSettings_[c.number] = c.fields;
      Reply(ack);
      return;
    default:
      return;
  }
}

std::string Simulator::SettingsReport() const {
  std::string out;
  char buf[64];
  std::snprintf(buf, sizeof buf, "$PVLX603,100,%d,%u,0", protocol_, static_cast<unsigned>(baud_));
  out += Line(buf);
  std::string select = "$PVLX603,108";
  for (Message m : config_.order) select.append(",").append(MessageName(m));
  out += Line(select);
  std::string rates = "$PVLX603,103";
  for (int i = 0; i < kMessageCount; ++i) {
    rates.append(",").append(MessageName(static_cast<Message>(i)));
    rates += "," + std::to_string(config_.rates[static_cast<std::size_t>(i)]);
  }
  out += Line(rates);
  for (const auto& [number, fields] : otherSettings_) {
    out += Line("$PVLX603," + Number3(number) + (fields.empty() ? "" : ",") + fields);
  }
  return out;
}

}  // namespace sim
