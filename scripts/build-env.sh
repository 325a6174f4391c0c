# Sourced by the build scripts: the packages installed, ccache kept in the tree's build folder
# (shared by every build type), and the parallel job count.
bash scripts/setup-deps.sh
jobs=$(nproc)
export CCACHE_DIR="${CCACHE_DIR:-$PWD/build/.ccache}"
export CCACHE_SLOPPINESS="pch_defines,time_macros,include_file_mtime,include_file_ctime"
