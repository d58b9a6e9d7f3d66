// Renames: one operation for every record known by a unique name. Within a
// batch each record sees the names as the earlier records leave them.
#include "store/updates/common.hpp"

namespace ketral::store::updates {

using namespace batch;

namespace {

// What differs between renames: the record's kind, how its id is found by
// name, how the new name is written, and whether lists refer to the name.
struct DeviceName {
    static constexpr const char *kKind = "device";
    static constexpr const char *kSelect = kDeviceId;
    static constexpr bool kListName = false, kChangesGraph = true;
    static std::int64_t write(sql::Connection &db, const std::string &to, std::int64_t id) {
        return db.run("UPDATE functional_device SET devicename = ? WHERE deviceid = ?", to, id);
    }
};

// A description that is the type's name (its default) follows the rename.
struct DeviceTypeName {
    static constexpr const char *kKind = "device type";
    static constexpr const char *kSelect = kDeviceTypeId;
    static constexpr bool kListName = false, kChangesGraph = true;
    static std::int64_t write(sql::Connection &db, const std::string &to, std::int64_t id) {
        return db.run(
            "UPDATE device_type SET description = CASE WHEN description = devicetype THEN ? ELSE description END, "
            "devicetype = ? WHERE devicetypeid = ?",
            to, to, id);
    }
};

struct LinkTypeName {
    static constexpr const char *kKind = "link type";
    static constexpr const char *kSelect = kLinkTypeId;
    static constexpr bool kListName = true, kChangesGraph = true;
    static std::int64_t write(sql::Connection &db, const std::string &to, std::int64_t id) {
        return db.run("UPDATE link_type SET lktype = ? WHERE linktypeid = ?", to, id);
    }
};

struct IpAddress {
    static constexpr const char *kKind = "IP address";
    static constexpr const char *kSelect = "SELECT ipid FROM ip_info WHERE ipaddress = ?";
    static constexpr bool kListName = false, kChangesGraph = false;
    static std::int64_t write(sql::Connection &db, const std::string &to, std::int64_t id) {
        return db.run("UPDATE ip_info SET ipaddress = ? WHERE ipid = ?", to, id);
    }
};

struct IpAlias {
    static constexpr const char *kKind = "IP alias";
    static constexpr const char *kSelect = "SELECT aliasid FROM ip_alias WHERE ipalias = ?";
    static constexpr bool kListName = false, kChangesGraph = false;
    static std::int64_t write(sql::Connection &db, const std::string &to, std::int64_t id) {
        return db.run("UPDATE ip_alias SET ipalias = ? WHERE aliasid = ?", to, id);
    }
};

struct FunctionName {
    static constexpr const char *kKind = "device function";
    static constexpr const char *kSelect = kFunctionId;
    static constexpr bool kListName = true, kChangesGraph = false;
    static std::int64_t write(sql::Connection &db, const std::string &to, std::int64_t id) {
        return db.run("UPDATE device_function SET function_name = ? WHERE functionid = ?", to, id);
    }
};

struct SubsystemName {
    static constexpr const char *kKind = "subsystem";
    static constexpr const char *kSelect = kSubsystemId;
    static constexpr bool kListName = true, kChangesGraph = false;
    static std::int64_t write(sql::Connection &db, const std::string &to, std::int64_t id) {
        return db.run("UPDATE subsystem SET system_name = ? WHERE systemid = ?", to, id);
    }
};

template <typename T>
struct RenameOp {
    struct Record {
        std::string from, to;
        std::int64_t id = 0;
        std::string prefix;  // "<operation>: record N: "
    };
    struct State {
        Renames names;
    };
    static constexpr bool kChangesGraph = T::kChangesGraph;

    static void check(const RecordRef &ref, sql::Connection &db, State &s, Record &r) {
        ref.need_name(r.from, std::string("the ") + T::kKind + " to rename");
        if (T::kListName)
            ref.need_list_name(r.to, "the new name");
        else
            ref.need_name(r.to, "the new name");
        r.id = s.names.current(ref, db, T::kSelect, r.from, T::kKind);
        if (r.to != r.from) s.names.need_free(ref, db, T::kSelect, r.to, T::kKind);
        s.names.rename(r.from, r.to, r.id, ref.number());
        r.prefix = ref.prefix();
    }
    static void write(Writer &w, State &, Record &r) {
        try {
            one_changed(T::write(w.db, r.to, r.id));
        } catch (const sql::DbError &e) {
            // The new name, free when checked, was taken since by another connection.
            if (e.kind() != sql::DbErrorKind::Duplicate) throw;
            throw Failure(r.prefix + T::kKind + " " + quoted(r.to) + " already exists");
        }
    }
    static std::string subject(const Record &r) { return std::string(T::kKind) + " " + quoted(r.from); }
};

template <typename T>
typename RenameOp<T>::Record renaming(const char *from, const char *to) {
    return {std::string(arg(from)), std::string(arg(to)), 0, {}};
}

}  // namespace

}  // namespace ketral::store::updates

using namespace ketral::store;
using namespace ketral::store::updates;

extern "C" {

int UpdateMultipleDevNamesDevices(const char *old_name, const char *new_name, int first, int last, char *ErrMess) {
    return batch::call<RenameOp<DeviceName>>("UpdateMultipleDevNamesDevices", ErrMess, Flags::Batch, first, last,
                                             [&] { return renaming<DeviceName>(old_name, new_name); });
}

int UpdateMultipleDeviceTypes(const char *old_name, const char *new_name, int first, int last, char *ErrMess) {
    return batch::call<RenameOp<DeviceTypeName>>("UpdateMultipleDeviceTypes", ErrMess, Flags::Batch, first, last,
                                                 [&] { return renaming<DeviceTypeName>(old_name, new_name); });
}

int UpdateMultipleLinkTypeNames(const char *old_name, const char *new_name, int first, int last, char *ErrMess) {
    return batch::call<RenameOp<LinkTypeName>>("UpdateMultipleLinkTypeNames", ErrMess, Flags::Batch, first, last,
                                               [&] { return renaming<LinkTypeName>(old_name, new_name); });
}

int UpdateMultipleIPAddresses(const char *ip_old, const char *ip_new, int first, int last, char *ErrMess) {
    return batch::call<RenameOp<IpAddress>>("UpdateMultipleIPAddresses", ErrMess, Flags::Batch, first, last,
                                            [&] { return renaming<IpAddress>(ip_old, ip_new); });
}

int UpdateIPalias(const char *old_alias, const char *new_alias, char *ErrMess) {
    return batch::call_now<RenameOp<IpAlias>>("UpdateIPalias", ErrMess,
                                              [&] { return renaming<IpAlias>(old_alias, new_alias); });
}

int UpdateDeviceFunctionName(const char *old_name, const char *new_name, char *ErrMess) {
    return batch::call_now<RenameOp<FunctionName>>("UpdateDeviceFunctionName", ErrMess,
                                                   [&] { return renaming<FunctionName>(old_name, new_name); });
}

int UpdateSubsystemName(const char *old_name, const char *new_name, char *ErrMess) {
    return batch::call_now<RenameOp<SubsystemName>>("UpdateSubsystemName", ErrMess,
                                                    [&] { return renaming<SubsystemName>(old_name, new_name); });
}

}  // extern "C"
