#include "machine_info.h"

#include <sys/utsname.h>

#include <cstdarg>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace wavo {
namespace {

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...) {
    char line[1024];
    va_list args;
    va_start(args, format);
    int length = std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    if (length < 0) return {};
    return std::string(line, std::min<size_t>(static_cast<size_t>(length), sizeof line - 1));
}

std::string OsDescription() {
    std::string name = "Linux";
    std::ifstream release("/etc/os-release");
    for (std::string line; std::getline(release, line);) {
        if (line.rfind("PRETTY_NAME=", 0) == 0) {
            name = line.substr(12);
            if (name.size() >= 2 && name.front() == '"') name = name.substr(1, name.size() - 2);
        }
    }
    utsname uts{};
    if (uname(&uts) == 0) {
        name += std::string(" (") + uts.sysname + " " + uts.release + " " + uts.machine + ")";
    }
    return name;
}

struct CpuInfo {
    std::string vendor = "unknown";
    std::string name = "unknown";
    int stepping = 0, model = 0, family = 0, type = 0;
    bool cpuid = false, fpu = false, tsc = false, msr = false, cmov = false, mmx = false;
    bool sse = false, sseInt = false, sseFp = false, sse2 = false, now3d = false, now3dExt = false;
};

CpuInfo ReadCpu() {
    CpuInfo cpu;
#if defined(__x86_64__) || defined(__i386__)
    unsigned a, b, c, d;
    if (__get_cpuid(0, &a, &b, &c, &d) == 0) return cpu;
    cpu.cpuid = true;
    char vendor[13] = {};
    __builtin_memcpy(vendor, &b, 4);
    __builtin_memcpy(vendor + 4, &d, 4);
    __builtin_memcpy(vendor + 8, &c, 4);
    cpu.vendor = vendor;
    if (__get_cpuid(1, &a, &b, &c, &d) != 0) {
        cpu.stepping = a & 0xF;
        cpu.model = (a >> 4) & 0xF;
        cpu.family = (a >> 8) & 0xF;
        cpu.type = (a >> 12) & 0x3;
        cpu.fpu = d & (1u << 0);
        cpu.tsc = d & (1u << 4);
        cpu.msr = d & (1u << 5);
        cpu.cmov = d & (1u << 15);
        cpu.mmx = d & (1u << 23);
        cpu.sse = cpu.sseInt = cpu.sseFp = d & (1u << 25);
        cpu.sse2 = d & (1u << 26);
    }
    unsigned highest = __get_cpuid_max(0x80000000, nullptr);
    if (highest >= 0x80000001 && __get_cpuid(0x80000001, &a, &b, &c, &d) != 0) {
        cpu.sseInt = cpu.sseInt || (d & (1u << 22));  // AMD's MMX extensions
        cpu.now3dExt = d & (1u << 30);
        cpu.now3d = d & (1u << 31);
    }
    if (highest >= 0x80000004) {
        char brand[49] = {};
        for (unsigned leaf = 0; leaf < 3; ++leaf) {
            __get_cpuid(0x80000002 + leaf, &a, &b, &c, &d);
            unsigned words[4] = {a, b, c, d};
            __builtin_memcpy(brand + leaf * 16, words, 16);
        }
        std::string name = brand;
        name.erase(0, name.find_first_not_of(' '));
        cpu.name = name;
    }
#endif
    return cpu;
}

// /proc/meminfo in KByte.
std::map<std::string, unsigned long long> ReadMemInfo() {
    std::map<std::string, unsigned long long> values;
    std::ifstream meminfo("/proc/meminfo");
    for (std::string line; std::getline(meminfo, line);) {
        std::istringstream fields(line);
        std::string key;
        unsigned long long value = 0;
        if (fields >> key >> value && !key.empty()) values[key.substr(0, key.size() - 1)] = value;
    }
    return values;
}

unsigned long long VirtualSizeKb() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmSize:", 0) == 0) return std::stoull(line.substr(7));
    }
    return 0;
}

char Flag(bool present) {
    return present ? 'O' : 'X';
}

}  // namespace

std::string DescribeMachine(int32_t platformVersion) {
    std::string text = Format("OS: %s\n", OsDescription().c_str());

    const CpuInfo cpu = ReadCpu();
    text += Format(
        "CPU:\n  VenderID: %s\n  CPUName:  %s\n  Stepping: %d\n  Model:    %d\n  Family:   %d\n"
        "  Type:     %d\n",
        cpu.vendor.c_str(), cpu.name.c_str(), cpu.stepping, cpu.model, cpu.family, cpu.type);
    text += Format("  CPUID: %c, FPU: %c, TSC: %c, MSR: %c, CMOV: %c, MMX: %c\n", Flag(cpu.cpuid),
                   Flag(cpu.fpu), Flag(cpu.tsc), Flag(cpu.msr), Flag(cpu.cmov), Flag(cpu.mmx));
    text += Format("  SSE: %c, SSE_INT: %c, SSE_FP: %c, SSE2: %c, 3DNow: %c, 3DNowExt: %c\n\n",
                   Flag(cpu.sse), Flag(cpu.sseInt), Flag(cpu.sseFp), Flag(cpu.sse2),
                   Flag(cpu.now3d), Flag(cpu.now3dExt));

    auto memory = ReadMemInfo();
    const unsigned long long total = memory["MemTotal"];
    const unsigned long long available = memory["MemAvailable"];
    const unsigned long long load = total == 0 ? 0 : (total - available) * 100 / total;
    // The user half of a 64-bit address space (47 bits), in KByte.
    const unsigned long long totalVirtual = (1ull << 47) / 1024;
    text += Format(
        "Memory:\n  Load          = %llu %%\n  TotalPhys     = %llu KByte\n"
        "  AvailPhys     = %llu KByte\n  TotalPageFile = %llu KByte\n"
        "  AvailPageFile = %llu KByte\n  TotalVirtual  = %llu KByte\n"
        "  AvailVirtual  = %llu KByte\n\n",
        load, total, available, total + memory["SwapTotal"], available + memory["SwapFree"],
        totalVirtual, totalVirtual - VirtualSizeKb());

    text += Format("DirectX: %04x (or higher)\n\n", static_cast<unsigned>(platformVersion));
    return text;
}

}  // namespace wavo
