#!/usr/bin/env bash
# Makes a runnable copy of the built program whose profile points at a loopback site:
#   make_program.sh BIN_DIR TARGET_DIR SITE CHANNEL...
# Each CHANNEL is NAME:SUBSCRIBED:PATH[,PATH...] (SUBSCRIBED 1 or 0; paths on SITE), e.g.
#   make_program.sh build/bin /tmp/p http://127.0.0.1:8080 科技:1:/feed/a,/feed/b
# The home server and the keyword search point at SITE too. Profile files are written the
# way the program keeps them: GB18030 with CRLF line ends.
set -euo pipefail
bin=$1 target=$2 site=$3
shift 3
rm -rf "$target"
mkdir -p "$target/profile"
cp "$bin/lumarine" "$bin/news.mdb" "$target/"

gb() { iconv -f UTF-8 -t GB18030 | sed 's/$/\r/' >"$1"; }
subscribed=()
for entry in "$@"; do
  rest=${entry#*:}
  if [ "${rest%%:*}" = 1 ]; then subscribed+=("${entry%%:*}"); fi
done
{
  echo "[channel]"
  echo "channelcnt=$#"
  i=1
  for entry in "$@"; do
    echo "channel$i=${entry%%:*}"
    i=$((i + 1))
  done
  for entry in "$@"; do
    name=${entry%%:*} rest=${entry#*:}
    IFS=, read -r -a paths <<<"${rest#*:}"
    echo
    echo "[$name]"
    echo "feedcnt=${#paths[@]}"
    for j in "${!paths[@]}"; do echo "feed$((j + 1))=$site${paths[$j]}"; done
  done
} | gb "$target/profile/qixchannel.ini"
{
  echo "[userchannel]"
  echo "channelcnt=${#subscribed[@]}"
  for i in "${!subscribed[@]}"; do echo "channel$((i + 1))=${subscribed[$i]}"; done
  for name in "${subscribed[@]}"; do
    echo
    echo "[$name]"
    echo "substate=1"
  done
} | gb "$target/profile/userchannel.ini"
{
  echo "[main]"
  echo "left=1"
  echo "bSlibing=0"
  echo "[setting]"
  echo "homeserver=$site"
  echo "subfeed=$site/search?q=%s"
} | gb "$target/profile/sysopt.ini"
