// The host's undo of a journal: the portable reader and planner over the file
// seam, so that the native tests see a rollback and an adoption end to end.
// The removal's own checks (links, ownership of registry entries) are the
// Windows tests' business.
#include <string>
#include <vector>

#include "companions/uninstall/record.h"
#include "files/filesystem.h"
#include "files/fileutil.h"
#include "install/journal.h"
#include "shell/text.h"

namespace {

struct undo_run {
    const setup_context* ctx;
    std::string installdir;
    std::vector<ur_change> changes;
};

std::string base(const undo_run& u, char where)
{
    return where == 'W' ? u.ctx->windowsdir : where == 'S' ? u.ctx->systemdir : u.installdir;
}

void carry_out(void* user, const ur_step& step)
{
    const undo_run& u = *static_cast<const undo_run*>(user);
    std::string path = base(u, step.where) + step.rel;
    if (step.action == UR_REMOVE_FILE) {
        FS_delete(path.c_str());
    } else if (step.action == UR_REMOVE_EMPTY) {
        if (!path.empty() && path.back() == '\\') path.pop_back();
        FS_removedir(path.c_str());
    } else if (step.action == UR_RESTORE) {
        char folder[UR_JOURNALNAME];
        UR_asidefolder(u.ctx->producttitle, folder);
        std::string copy = std::string(u.ctx->windowsdir) + folder + "\\" + std::to_string(step.aside) + ".OLD";
        FS_delete(path.c_str());
        FS_move(copy.c_str(), path.c_str());
    }
}

}  // namespace

status_t INS_undojournal(setup_context* ctx, bool* undone)
{
    *undone = false;
    char name[TEXTSIZE];
    INS_journalpath(ctx, name);
    ul_file file = 0;
    if (!FS_open(name, FS_READ, &file)) return ST_OK;
    std::string data(FS_size(file), '\0');
    FS_read(file, &data[0], std::uint32_t(data.size()));
    FS_close(file);
    undo_run u{ctx, "", {}};
    ur_journalhead head;
    auto add = [](void* user, const ur_change& c) {
        static_cast<undo_run*>(user)->changes.push_back(c);
        return true;
    };
    if (!UR_readjournal(data.data(), data.size(), ctx->windowsdir, ctx->systemdir, &head, add, nullptr, &u) ||
        !UL_equalnocase(head.title, ctx->producttitle))
        return ST_OK;
    u.installdir = head.destination;
    UR_planundo(head, u.changes.data(), int(u.changes.size()), carry_out, &u);
    FS_delete(name);
    char folder[UR_JOURNALNAME];
    UR_asidefolder(ctx->producttitle, folder);
    FS_removedir((std::string(ctx->windowsdir) + folder).c_str());
    *undone = true;
    return ST_OK;
}
