#!/usr/bin/env bash
# Tries both conversion roads without an account: starts the stand-in
# services, gives a copy of the program a settings file that points at them
# and a sample deal text, and opens it. Your own settings are not touched.
set -euo pipefail
exe=$1
here=$(cd "$(dirname "$0")" && pwd)
demo=$(dirname "$exe")/demo
mkdir -p "$demo/data"
cp "$exe" "$demo/quellbo"

log=$(mktemp)
/usr/bin/python3 "$here/standin_server.py" --port 0 \
  --update '{"edition":"2.1","address":"http://127.0.0.1/"}' >"$log" &
server=$!
trap 'kill $server 2>/dev/null; rm -f "$log"' EXIT
for _ in $(seq 1 100); do grep -q listening "$log" && break; sleep 0.05; done
port=$(sed -n 's/listening on //p' "$log")
base="http://127.0.0.1:$port"

# The settings file is GB18030, as the program keeps it.
iconv -f UTF-8 -t GB18030 >"$demo/data/setsoft.ini" <<INI
[服务]
转链接口=$base
京粉转链=$base
更新服务器=$base
网站=$base
下载链接=$base/user/user_register.html
帮助链接=$base/user/user_login.html
[编辑框]
编辑框1=【今日爆款】保温杯 券后19.9元><br><复制这段话￥DemoTok1234￥打开手机淘宝
编辑框2=
编辑框8=演示：按“转换→”转换左边的淘口令。><br><再把这段京东文本粘到左边转换：><br>< 京东好物 https://item.jd.com/100012043978.html
编辑框3=demo-appkey-0001
编辑框4=123456
编辑框5=mm_12345_67890_13579
编辑框13=pt_key=demo; pt_pin=demo
INI
chmod 600 "$demo/data/setsoft.ini"

echo "Stand-in services on $base; the demo copy of the program is in $demo"
"$here/run.sh" "$demo/quellbo"
