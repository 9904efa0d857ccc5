#!/usr/bin/env bash
# Fails each file-system call of each write path in turn (and at random, and on a full disk
# where a small file system can be mounted), then reads the files back itself: every file
# must hold its old or its new content, whole; an operation that reported success must have
# left the new content; no temporary file may be left behind.
# usage: files_survive_faults_test.sh DRIVER SHIM
set -euo pipefail
driver=$1
shim=$2
work=$(mktemp -d)
cleanup() {
  mountpoint -q "$work/full" 2>/dev/null && umount "$work/full"
  rm -rf "$work"
}
trap cleanup EXIT

gb() { iconv -f UTF-8 -t GB18030; }

# The user's files before an operation, below $1.
make_state() {
  local d=$1
  mkdir -p "$d/program/profile" "$d/defaults" "$d/installed/profile" "$d/xdg/autostart"
  printf '[main]\r\nleft=1\r\nbSubHide=1\r\n[channel]\r\nfontsize=14\r\n' >"$d/program/profile/sysopt.ini"
  printf '[userchannel]\r\nchannelcnt=2\r\nchannel1=科技\r\nchannel2=体育\r\n[科技]\r\nsubstate=1\r\nfeedcnt=2\r\nfeed1=http://example.test/a.xml\r\nfeed2=http://example.test/b.xml\r\n[体育]\r\nsubstate=1\r\n' \
    | gb >"$d/program/profile/userchannel.ini"
  printf '[channel]\r\nchannelcnt=1\r\nchannel1=科技\r\n[科技]\r\nfeedcnt=1\r\nfeed1=http://example.test/c.xml\r\n' \
    | gb >"$d/program/profile/qixchannel.ini"
  printf '<?xml version="1.0" encoding="gb2312"?><SUBJECTS SAVETIME="x"><ITEM TITLE="组" TYPE="0"><ITEM TITLE="主题" TYPE="1" KEYWORD="k"/></ITEM></SUBJECTS>' \
    | gb >"$d/program/profile/subject.xml"
  printf '[channel]\r\nchannelcnt=2\r\nchannel1=新闻\r\nchannel2=科技\r\n' | gb >"$d/defaults/qixchannel.ini"
  printf '[userchannel]\r\nchannelcnt=0\r\n' >"$d/defaults/userchannel.ini"
  printf 'CREATE TABLE FeedItem (title TEXT);\n' >"$d/defaults/news.sql"
  printf '[userchannel]\r\nchannelcnt=1\r\nchannel1=mine\r\n' >"$d/installed/profile/userchannel.ini"
  printf '[Desktop Entry]\nExec=/old/lumarine\n' >"$d/xdg/autostart/lumarine.desktop"
  printf '<opml version="2.0">old</opml>\n' >"$d/export.opml"
}

# "name hash" lines for every file below $1, with the stamps a save writes taken out; the
# database that seeding makes is named only.
hashes() {
  local name
  (cd "$1" && find . -type f ! -name '*.xml' ! -name '*.opml' ! -name news.mdb -print0 |
    xargs -0r sha1sum | awk '{ print $2, $1 }')
  (cd "$1" && find . -type f -name news.mdb) | sed 's/$/ db/'
  (cd "$1" && find . -type f \( -name '*.xml' -o -name '*.opml' \)) | while read -r name; do
    echo "$name $(sed -E 's/SAVETIME="[^"]*"//; s#<dateCreated>[^<]*</dateCreated>##' "$1/$name" | sha1sum | cut -c1-40)"
  done
}

failures=0
runs=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

declare -A old_hash new_hash
# check OP LABEL STATUS TRIAL: TRIAL after OP, against the state before and the one after a
# run without faults.
check() {
  local op=$1 label=$2 status=$3 t=$4 name hash
  declare -A now=()
  while read -r name hash; do now[$name]=$hash; done < <(hashes "$t")
  for name in "${!now[@]}"; do
    [ -n "${old_hash[$name]:-}" ] || [ -n "${new_hash[$op $name]:-}" ] || fail "$op $label: left $name"
  done
  for name in "${!old_hash[@]}" "${new_names[@]/#/}"; do
    local was=${old_hash[$name]:-} will=${new_hash[$op $name]:-} is=${now[$name]:-}
    if [ "$status" -eq 0 ]; then
      [ "$is" = "$will" ] || fail "$op $label: reported success but $name is not its new content"
    elif [ "$is" != "$was" ] && [ "$is" != "$will" ]; then
      fail "$op $label: $name is neither its old nor its new content"
    fi
  done
}

# trial OP LABEL [VAR=VALUE...]: runs OP on a fresh copy under the shim with the given fault.
trial() {
  local op=$1 label=$2 status=0
  shift 2
  rm -rf "$work/t" "$work/mark"
  cp -a "$pristine" "$work/t"
  env "$@" FAULT_DIR="$work/t" FAULT_MARK="$work/mark" LD_PRELOAD="$shim" \
    XDG_CONFIG_HOME="$work/t/xdg" "$driver" "$op" "$work/t" >/dev/null 2>&1 || status=$?
  runs=$((runs + 1))
  [ "$status" -le 1 ] || { fail "$op $label: driver ended with status $status"; return; }
  check "$op" "$label" "$status" "$work/t"
}

operations=(settings subscribe unsubscribe add-feed remove-feed feed-state subject opml autostart download seed)
pristine=$work/pristine
reference=$work/reference
mkdir -p "$reference"
make_state "$pristine"
while read -r name hash; do old_hash[$name]=$hash; done < <(hashes "$pristine")
new_names=()
for op in "${operations[@]}"; do
  cp -a "$pristine" "$reference/$op"
  XDG_CONFIG_HOME="$reference/$op/xdg" "$driver" "$op" "$reference/$op" ||
    { echo "FAIL: $op does not succeed without faults"; exit 1; }
  if diff -r "$pristine" "$reference/$op" >/dev/null; then
    echo "FAIL: $op changed nothing"
    exit 1
  fi
  while read -r name hash; do
    new_hash[$op $name]=$hash
    [ -n "${old_hash[$name]:-}" ] || new_names+=("$name")
  done < <(hashes "$reference/$op")
done

# Each call of each kind in turn, with the errors a full disk, a failing disk and a process
# out of descriptors give.
declare -A errnos=([open]="5 24" [read]="5" [write]="28" [close]="5" [fsync]="5" [rename]="28"
  [stat]="5")
for op in "${operations[@]}"; do
  for call in open read write close fsync rename stat; do
    for error in ${errnos[$call]}; do
      for ((n = 1; n <= 200; n++)); do
        trial "$op" "$call#$n errno $error" FAULT_CALL="$call" FAULT_NTH="$n" FAULT_ERRNO="$error"
        [ -e "$work/mark" ] || break
      done
    done
  done
  trial "$op" "short writes" FAULT_CALL=short
  for seed in 1 2 3; do
    trial "$op" "random faults, seed $seed" FAULT_CALL=any FAULT_PROB=150 FAULT_SEED="$seed" FAULT_ERRNO=5
  done
done

# A full disk, where this machine lets the test mount a small file system of its own.
if [ "$(id -u)" -eq 0 ] && mkdir -p "$work/full" && mount -t tmpfs -o size=2m tmpfs "$work/full" 2>/dev/null; then
  for op in "${operations[@]}"; do
    rm -rf "${work:?}/full/"*
    make_state "$work/full/t"
    dd if=/dev/zero of="$work/full/filler" bs=4k 2>/dev/null || true
    status=0
    XDG_CONFIG_HOME="$work/full/t/xdg" "$driver" "$op" "$work/full/t" >/dev/null 2>&1 || status=$?
    runs=$((runs + 1))
    rm -f "$work/full/filler"
    check "$op" "full disk" "$status" "$work/full/t"
  done
else
  echo "note: no small file system could be mounted here; the full-disk runs were skipped"
fi

echo "$runs runs, $failures failures"
[ "$failures" -eq 0 ]
