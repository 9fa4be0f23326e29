"""A stand-in chat window for the desktop tests.

Usage: tk_chat_window.py TITLE LOG_FILE [chat]

Opens a 400x720 window titled TITLE holding one text box, and appends to
LOG_FILE, one line each, what it sees:
  ready <id of the toplevel's own X window, decimal>
  focus in
  click <button> <x> <y>      (client coordinates of the window)
  press <keysym> / release <keysym>
  text <hex of the box's UTF-8 content>   (whenever it changes)
With "chat", Return sends the box's content as a chat window does:
  sent <hex of the UTF-8 text>   and the box is emptied.
It closes itself after a minute so that a broken test never leaves it behind.
"""
import sys
import tkinter as tk

title, log_path = sys.argv[1], sys.argv[2]
chat = len(sys.argv) > 3 and sys.argv[3] == "chat"
log = open(log_path, "a", encoding="utf-8", buffering=1)


def write(line):
    log.write(line + "\n")


root = tk.Tk()
root.title(title)
root.geometry("400x720+60+40")
box = tk.Text(root)
box.place(x=0, y=0, width=400, height=720)


def on_click(event):
    x = event.x_root - root.winfo_rootx()
    y = event.y_root - root.winfo_rooty()
    write(f"click {event.num} {x} {y}")


root.bind_all("<ButtonPress>", on_click)
root.bind_all("<KeyPress>", lambda e: write(f"press {e.keysym}"))
root.bind_all("<KeyRelease>", lambda e: write(f"release {e.keysym}"))
root.bind("<FocusIn>", lambda e: write("focus in") if e.widget is root else None)



def send(event):
    write("sent " + box.get("1.0", "end-1c").encode("utf-8").hex())
    box.delete("1.0", "end")
    return "break"


if chat:
    box.bind("<KeyPress-Return>", lambda e: (write("press Return"), send(e))[1])

last_text = [None]


def watch_text():
    content = box.get("1.0", "end-1c")
    if content != last_text[0]:
        last_text[0] = content
        write("text " + content.encode("utf-8").hex())
    root.after(20, watch_text)


root.after(60000, root.destroy)
root.wait_visibility(root)
write(f"ready {root.winfo_id()}")
watch_text()
root.mainloop()
